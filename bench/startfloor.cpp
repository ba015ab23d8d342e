// The least a program that links Qt's GUI library pays to start, for the process benchmarks:
// "linked" returns at once (loading the libraries), "gui" starts the GUI application on the
// offscreen platform, "text" also measures one string in the report's face, as the command-line
// tool must before it draws a scheme picture.
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>

#include <cstring>

int main(int argc, char** argv) {
    const char* mode = argc > 1 ? argv[1] : "text";
    if (std::strcmp(mode, "linked") == 0) return 0;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (std::strcmp(mode, "gui") == 0) return 0;
    return QFontMetrics(QFont(QStringLiteral("Times New Roman"))).horizontalAdvance(QStringLiteral("R12")) > 0
               ? 0
               : 1;
}
