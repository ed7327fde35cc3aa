#include "AccessibleTexts.h"

#include "PictureCode.h"
#include "modLanguageSupport.h"

#include <span>

using namespace Qt::Literals::StringLiterals;

namespace modLanguageSupport {

QString MLSAccessibleText(const QString& key, const QString& fallback) {
    if (QString text = MLSOurWord(OurWords::Accessibility, key); !text.isEmpty())
        return text;
    if (!fallback.isEmpty())
        return fallback;
    return MLSOurWord(OurWords::Accessibility, key, MLSSystemLanguage({}));
}

QString MLSAccessibleFill(const QString& key, const QStringList& values) {
    QString pattern = MLSAccessibleText(key);
    if (pattern.isEmpty()) {
        QStringList shown = values;
        shown.removeAll(QString());
        return shown.join(u' ');
    }
    // One pass, so that a value holding "%2" stays as it is.
    QString filled;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const qsizetype number = i + 1 < pattern.size() ? pattern[i + 1].digitValue() : -1;
        if (pattern[i] == u'%' && number >= 1 && number <= values.size()) {
            filled += values[number - 1];
            ++i;
        } else {
            filled += pattern[i];
        }
    }
    return filled;
}

QString MLSPictureDescription(int set, int index, int attributes) {
    // The word of each attribute's value in the picture, at its place in the
    // pattern; an attribute beyond the first `attributes` has none.
    QStringList values(picture_code::kAttributeCount);
    for (const picture_code::AttributeCode& code :
         std::span(picture_code::kAttributes).first(std::size_t(attributes))) {
        const QString word =
            QString::fromLatin1(code.valueWords[std::size_t(picture_code::valueOf(index, code.attribute))]);
        values[code.placeInDescription - 1] =
            MLSAccessibleText(code.wordsOfTheSet ? u"Set"_s + QString::number(set) + u'.' + word : word);
    }
    // The words of a level without the pattern fill a pattern of their own,
    // which leaves no room for it.
    const bool pattern = attributes > int(picture_code::Attribute::Pattern);
    return MLSAccessibleFill(pattern ? u"DescriptionPattern"_s : u"Description"_s, values);
}

}  // namespace modLanguageSupport
