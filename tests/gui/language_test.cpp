// The interface's languages: the main window built in each, and the choice in View > Language.
#include <QMenuBar>
#include <QSettings>
#include <gtest/gtest.h>

#include "gui/mainwindow.h"
#include "platform/language.h"
#include "platform/messages.h"

using namespace qv;
using qv::gui::MainWindow;

namespace {

/// The language in force for one scope; the texts as written again afterwards.
struct LanguageScope {
    explicit LanguageScope(Language l) { EXPECT_TRUE(installLanguage(l)); }
    ~LanguageScope() { installLanguage(Language::AsWritten); }
};

QStringList topMenus(const MainWindow& w) {
    QStringList captions;
    for (QAction* a : w.menuBar()->actions())
        captions << a->text();
    return captions;
}

} // namespace

TEST(LanguageTest, MainWindowMenusInEachLanguage) {
    const struct Case {
        Language language;
        QStringList menus;   ///< the menu bar, in order
        QStringList present; ///< menu entries found somewhere
        QStringList absent;  ///< the texts as written that the language replaces
        QString pageCaption; ///< the first page's tab
    } cases[] = {
        {Language::AsWritten,
         {"File", "Edit", "Loops", "Calculate", "Service", "View", "Help"},
         {"Solve by Kirchoff Laws", "Freqncy", "Create vector diagramm", "Open schem", "DC curent source"},
         {},
         "Scheme"},
        {Language::English,
         {"File", "Edit", "Loops", "Calculate", "Service", "View", "Help"},
         {"Solve by Kirchhoff's laws", "Frequency", "Create vector diagram", "Open scheme",
          "DC current source"},
         {"Solve by Kirchoff Laws", "Freqncy", "Create vector diagramm", "Open schem", "DC curent source"},
         "Scheme"},
        {Language::Russian,
         {"Файл", "Правка", "Контуры", "Расчёт", "Сервис", "Вид", "Справка"},
         {"Решить по законам Кирхгофа", "Частота", "Построить векторную диаграмму", "Открыть схему",
          "Источник постоянного тока", "Язык"},
         {"Solve by Kirchoff Laws", "Freqncy", "Open schem", "Language"},
         "Схема"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(languageName(c.language).toStdString());
        LanguageScope scope(c.language);
        MainWindow w;
        EXPECT_EQ(topMenus(w), c.menus);
        for (const QString& caption : c.present)
            EXPECT_NE(w.menuAction(caption), nullptr) << caption.toStdString();
        for (const QString& caption : c.absent)
            EXPECT_EQ(w.menuAction(caption), nullptr) << caption.toStdString();
        EXPECT_EQ(w.pages()->tabText(0), c.pageCaption);
    }
    // Each language keeps its own name in every interface, so that it can be found again.
    LanguageScope scope(Language::Russian);
    MainWindow w;
    for (const char* own : {"English", "Русский"})
        EXPECT_NE(w.menuAction(QString::fromUtf8(own)), nullptr) << own;
}

TEST(LanguageTest, ChoiceIsKeptForTheNextStartAndSaidSo) {
    QSettings().remove(QStringLiteral("view/language"));
    EXPECT_EQ(MainWindow::chosenLanguage(), Language::AsWritten);
    {
        MainWindow w;
        RecordingMessages messages;
        w.workbench().context().setMessages(&messages);
        QAction* english = w.menuAction(QStringLiteral("English"));
        ASSERT_NE(english, nullptr);
        EXPECT_TRUE(w.menuAction(QStringLiteral("As written"))->isChecked());
        english->trigger();
        EXPECT_EQ(MainWindow::chosenLanguage(), Language::English);
        ASSERT_EQ(messages.shown.size(), 1);
        EXPECT_TRUE(messages.shown[0].text.contains("next start"));
        // Choosing the language already chosen says nothing more.
        english->trigger();
        EXPECT_EQ(messages.shown.size(), 1);
        w.workbench().context().setMessages(nullptr);
    }
    // The next window shows the choice; the interface itself is still as it started.
    MainWindow next;
    EXPECT_TRUE(next.menuAction(QStringLiteral("English"))->isChecked());
    EXPECT_NE(next.menuAction(QStringLiteral("Freqncy")), nullptr);
    // A stored value the program does not know counts as no choice.
    QSettings().setValue(QStringLiteral("view/language"), QStringLiteral("klingon"));
    EXPECT_EQ(MainWindow::chosenLanguage(), Language::AsWritten);
    QSettings().remove(QStringLiteral("view/language"));
}
