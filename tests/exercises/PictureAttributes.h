#pragma once
// What the eight pictures of every set show, written out per file, so that
// tests judge answers by the pictures rather than by the index code.

#include <QtGlobal>
#include <array>

namespace picture_attributes {

enum Attribute { Shape = 1, Size = 2, Colour = 4 };

// Shape, size and colour of files 1 to 8 (A and B: the two values of each).
inline constexpr std::array<const char*, 8> kFileAttributes{"AAA", "AAB", "ABA", "ABB",
                                                            "BAA", "BAB", "BBA", "BBB"};

inline int differingAttributes(int a, int b) {
    int differing = 0;
    for (int k = 0; k < 3; ++k)
        if (kFileAttributes[std::size_t(a)][k] != kFileAttributes[std::size_t(b)][k])
            differing |= 1 << k;
    return differing;
}

// The one picture that differs from the model in exactly these attributes.
inline int pictureWithChanges(int model, int attributes) {
    int found = -1;
    for (int i = 0; i < 8; ++i)
        if (differingAttributes(model, i) == attributes) {
            Q_ASSERT(found == -1);
            found = i;
        }
    return found;
}

}  // namespace picture_attributes
