// The yardstick for Tavrin Tutor's start-up: the least a Qt program with the same kind of window
// does. A main window with a multiple-document area holding one sub-window, shown; with
// TAVRIN_QUIT_WHEN_SHOWN set it reports when the window is on screen and quits, as tavrin does.

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>

#include "ShownProbe.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("bare"));
    window.menuBar()->addMenu(QStringLiteral("&File"));
    auto* area = new QMdiArea(&window);
    window.setCentralWidget(area);
    QMdiSubWindow* sub = area->addSubWindow(new QLabel(QStringLiteral("Welcome")));
    sub->setWindowTitle(QStringLiteral("Document1"));
    sub->show();
    window.resize(800, 600);
    window.show();
    CShownProbe::Attach(&window);
    return QApplication::exec();
}
