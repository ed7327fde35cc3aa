#pragma once
// Runs parts of a test as a user without privileges. CI runs as root, which
// writes to any folder and opens any file: a test of what a user may not do
// runs the same test binary again as "nobody" for the part that needs it.

#include <QCoreApplication>
#include <QProcess>
#include <QTest>
#include <pwd.h>
#include <unistd.h>

namespace unprivileged {

inline bool runningAsRoot() {
    return ::geteuid() == 0;
}

// The user the unprivileged parts run as.
inline uid_t nobodyId() {
    const passwd* nobody = ::getpwnam("nobody");
    return nobody ? nobody->pw_uid : uid_t(65534);
}

// Runs this test binary with `arguments` as nobody (setpriv, no
// supplementary groups) and gives its exit code (-1 when it crashed or hung);
// its output goes to `output`.
inline int runTestBinary(const QStringList& arguments, QByteArray* output = nullptr,
                         const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
    using namespace Qt::Literals::StringLiterals;
    QProcess child;
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.setProcessEnvironment(environment);
    child.start(u"setpriv"_s, QStringList{u"--reuid=nobody"_s, u"--regid=nogroup"_s, u"--clear-groups"_s,
                                          QCoreApplication::applicationFilePath()} +
                                  arguments);
    if (!child.waitForFinished(120000))
        return -1;
    if (output)
        *output = child.readAll();
    return child.exitStatus() == QProcess::NormalExit ? child.exitCode() : -1;
}

// Runs the current test function's current row again as nobody; true when it
// passed there. Its output is printed when it did not.
inline bool currentRowPassesUnprivileged() {
    const QByteArray function = QTest::currentTestFunction();
    const QByteArray row = QTest::currentDataTag();
    QByteArray output;
    const bool passed =
        runTestBinary({QString::fromUtf8(function + ':' + row)}, &output) == 0 && output.contains("PASS   : ") &&
        output.contains(QByteArray("::" + function + '(' + row + ')')) && output.contains(", 0 skipped");
    if (!passed)
        qWarning().noquote() << output;
    return passed;
}

}  // namespace unprivileged
