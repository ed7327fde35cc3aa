#pragma once
// A screen of 30 controls, about the size of the program's largest, and a
// language file section that translates every one of them.

#include "Design.h"

#include <QByteArray>
#include <QStringBuilder>
#include <deque>
#include <string>

namespace bench {

inline constexpr int kControls = 30;

inline forms::ScreenDesign thirtyControls() {
    // The design keeps pointers to its names.
    static const std::deque<std::string> names = [] {
        std::deque<std::string> list;
        for (int i = 0; i < kControls; ++i)
            list.push_back("Label" + std::to_string(i));
        return list;
    }();
    forms::ScreenDesign design{"FormBench", 9360, 6540, qRgb(255, 255, 255)};
    design.caption = "Bench";
    for (int i = 0; i < kControls; ++i) {
        design.controls.push_back({.name = names[static_cast<std::size_t>(i)].c_str(),
                                   .kind = forms::Kind::Label,
                                   .left = 120.0 + 900 * (i % 10),
                                   .top = 120.0 + 2000 * (i / 10),
                                   .width = 850,
                                   .height = 1500,
                                   .caption = "Testo"});
    }
    return design;
}

inline QByteArray thirtyControlsSection() {
    QByteArray text = "[FormBench]\r\nFormBench.Caption=\"Bench screen\"\r\n";
    for (int i = 0; i < kControls; ++i) {
        const QByteArray name = "Label" + QByteArray::number(i);
        text += name + ".Caption=\"Label number " + QByteArray::number(i) + "\"\r\n";
        text += name + ".ToolTipText=\"Tip of label " + QByteArray::number(i) + "\"\r\n";
    }
    return text;
}

}  // namespace bench
