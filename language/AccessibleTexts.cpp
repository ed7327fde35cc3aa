#include "AccessibleTexts.h"

#include "DataFiles.h"
#include "modLanguageSupport.h"

using namespace Qt::Literals::StringLiterals;

namespace modLanguageSupport {

namespace {

QString accessibilityText(const QString& language, const QString& key) {
    return MLSReadIni(platform::languageFilePath(language), u"Accessibility"_s, key).value_or(QString());
}

}  // namespace

QString MLSAccessibleText(const QString& key, const QString& fallback) {
    if (QString text = accessibilityText(MLSCurrentLanguage, key); !text.isEmpty())
        return text;
    if (!fallback.isEmpty())
        return fallback;
    return accessibilityText(MLSSystemLanguage({}), key);
}

QString MLSAccessibleFill(const QString& key, const QStringList& values) {
    QString pattern = MLSAccessibleText(key);
    if (pattern.isEmpty()) {
        QStringList shown = values;
        shown.removeAll(QString());
        return shown.join(u' ');
    }
    for (qsizetype i = 0; i < values.size(); ++i)
        pattern.replace(u'%' + QString::number(i + 1), values[i]);
    return pattern;
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
