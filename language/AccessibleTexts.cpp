#include "AccessibleTexts.h"

#include "PictureCode.h"
#include "modLanguageSupport.h"

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
    // A whole phrase for every picture, since words agree with each other
    // differently in every language; those of a level with the pattern name it.
    const bool pattern = attributes > int(resources::picture_code::Attribute::Pattern);
    return MLSAccessibleText(u"Set"_s + QString::number(set) + (pattern ? u".Pattern"_s : QString()) + u".Picture"_s +
                             QString::number(index + 1));
}

}  // namespace modLanguageSupport
