#include <QApplication>
#include <QLocale>

#include "window/form1.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    Form1 window(QLocale::system().decimalPoint().toStdString());
    window.show();
    return QApplication::exec();
}
