// Picture loading on any bytes: they are written to a file and loaded as a
// picture file is. Loading never crashes, keeps its memory bounded, and never
// gives a picture larger than a picture of the program can need.

#include "FuzzCheck.h"
#include "Picture.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cstddef>
#include <cstdint>

using namespace Qt::Literals::StringLiterals;

namespace {

QString inputPath;

// Qt's decoders warn about every broken file; the fuzzer sees thousands.
void discardMessage(QtMsgType, const QMessageLogContext&, const QString&) {}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    qInstallMessageHandler(discardMessage);
    inputPath = QDir::temp().filePath(u"mf-fuzz-picture-%1.gif"_s.arg(QCoreApplication::applicationPid()));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QFile file(inputPath);
    MF_FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    MF_FUZZ_CHECK(file.write(reinterpret_cast<const char*>(data), qint64(size)) == qint64(size));
    file.close();
    if (const std::optional<files::Picture> picture = files::LoadPicture(inputPath)) {
        MF_FUZZ_CHECK(!picture->isEmpty());
        MF_FUZZ_CHECK(picture->image().width() <= files::kPictureSideMax &&
                      picture->image().height() <= files::kPictureSideMax);
    }
    return 0;
}
