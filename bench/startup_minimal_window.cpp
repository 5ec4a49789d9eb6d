// The peer of the start-up benchmark: the least a Qt program does to show a
// window. Prints what the program prints with --first-paint-exit and quits.
#include <QApplication>
#include <QPainter>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

namespace {

const auto kStart = std::chrono::steady_clock::now();

long residentKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    return -1;
}

class Window : public QWidget {
  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter(this).fillRect(rect(), QColor(20, 20, 20));
        if (painted_)
            return;
        painted_ = true;
        QTimer::singleShot(0, [] {
            const double ms =
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - kStart)
                    .count();
            std::printf("first-paint ms=%.1f\nresident rss_kb=%ld\n", ms, residentKb());
            std::fflush(stdout);
            QApplication::quit();
        });
    }

  private:
    bool painted_ = false;
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    Window window;
    window.resize(400, 300);
    window.show();
    return app.exec();
}
