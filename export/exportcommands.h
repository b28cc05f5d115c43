#pragma once

#include "core/export/dishreport.h"

#include <QObject>
#include <optional>
#include <vector>

class Fmain;
class QAction;

// The ﾌｧｲﾙ menu's commands that hand results on: 「エクスポート」 (the current
// dish or all dishes as CSV or Excel), 「印刷」 and 「PDF出力」 (a page per
// dish) and 「栄養成分表示」 (the current dish's label, printable, on the basis
// chosen for that dish and stored with it; the exports use it too). Every
// question goes through the program's prompts; a failed write is told to
// the user and leaves no partial file.
class ExportCommands : public QObject
{
    Q_OBJECT

public:
    explicit ExportCommands(Fmain &window);

    void exportDishes();
    void printDishes();
    void writePdf();
    void showLabel();

private:
    // The ﾌｧｲﾙ menu's commands, on the main window.
    QAction *Me_file_export;
    QAction *Me_file_print;
    QAction *Me_file_pdf;
    QAction *Me_file_label;

    // Asks which dishes; nothing when cancelled or there is no current dish.
    std::optional<Export::Selection> askDishes(const QString &title);
    // The person the comparison and the 栄養成分一覧 are for, and what the
    // latter judges.
    struct Person
    {
        Intakes::Person person;
        NutrientSheet::Basis basis = NutrientSheet::Basis::Serving;
    };
    // Asks the age and sex, the activity level, a pregnancy stage or
    // lactation where the woman's age allows one, and the basis.
    bool askPerson(const QString &title, Person *person);
    // The dishes and the person of a printed page, read; false when the user stops.
    bool askPages(const QString &title, std::vector<Export::Dish> *dishes);
    // Reads the dishes; with a person, each with that person's 栄養成分一覧.
    bool read(const Export::Selection &which, const Person *person,
              std::vector<Export::Dish> *dishes);
    void tell(const QString &error);

    Fmain &m_window;
};
