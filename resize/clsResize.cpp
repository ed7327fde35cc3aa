#include "resize/clsResize.h"
