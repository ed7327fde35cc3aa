#include <QApplication>
#include <benchmark/benchmark.h>

int main(int argc, char** argv) {
    // No benchmark reaches the user's speech server, nor starts one that
    // outlives it.
    qputenv("SPEECHD_ADDRESS", "unix_socket:/nonexistent/speechd.sock");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
