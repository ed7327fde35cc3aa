#pragma once
// Widget tests measure in pixels and twips: they run on an offscreen display
// of 1024 x 768 pixels at 96 dots an inch, whatever the machine's. Called
// before the application object exists (a test class's static initMain).

#include <QByteArray>

inline void pinDisplay() {
    for (const char* override : {"QT_FONT_DPI", "QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS"})
        qunsetenv(override);
    qputenv("QT_QPA_PLATFORM", QByteArray("offscreen:configfile=" MF_SOURCE_DIR "/tests/display.json"));
}
