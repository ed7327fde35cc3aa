#include "AccessibleTexts.h"

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

QString MLSPictureDescription(int set, int index) {
    // The index codes the picture: bit 0 its colour, bit 1 its size, bit 2 its figure.
    const QString prefix = u"Set"_s + QString::number(set) + u'.';
    const QString size = MLSAccessibleText((index & 2) ? u"Small"_s : u"Big"_s);
    const QString colour = MLSAccessibleText(prefix + u"Colour" + QString::number(index & 1));
    const QString figure = MLSAccessibleText(prefix + u"Figure" + QString::number((index >> 2) & 1));
    return MLSAccessibleFill(u"Description"_s, {size, colour, figure});
}

}  // namespace modLanguageSupport
