// Start-up timing hook shared by the program and the start-up benchmark's bare Qt program. When
// TAVRIN_QUIT_WHEN_SHOWN is set, the first time the watched window is exposed on screen the
// probe prints "shown <nanoseconds since the epoch>" and quits the event loop. Without the
// variable it does nothing.
#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QWidget>
#include <QWindow>
#include <chrono>
#include <cstdio>
#include <cstdlib>

class CShownProbe : public QObject {
public:
    // Watches `window` if the variable is set; call after the window has been shown.
    static void Attach(QWidget* window) {
        if (!std::getenv("TAVRIN_QUIT_WHEN_SHOWN") || !window->windowHandle()) return;
        window->windowHandle()->installEventFilter(new CShownProbe(window));
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* window = qobject_cast<QWindow*>(watched);
        if (event->type() == QEvent::Expose && window && window->isExposed()) {
            const auto now = std::chrono::system_clock::now().time_since_epoch();
            std::printf("shown %lld\n",
                        static_cast<long long>(std::chrono::nanoseconds(now).count()));
            std::fflush(stdout);
            window->removeEventFilter(this);
            QCoreApplication::exit(0);
        }
        return false;
    }

private:
    explicit CShownProbe(QObject* parent) : QObject(parent) {}
};
