#include "app/prompts.h"

#include "core/app/modules.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

Prompts::Answer DialogPrompts::message(const QString &prompt, Buttons buttons, Icon icon,
                                       const QString &title)
{
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(title.isEmpty() ? programTitle() : title);
    box.setText(prompt);
    switch (icon) {
    case Icon::Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case Icon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case Icon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    case Icon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case Icon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    }
    if (buttons == Buttons::OkCancel) {
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Ok);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    return box.exec() == QMessageBox::Ok ? Answer::Ok : Answer::Cancel;
}

std::optional<QString> DialogPrompts::input(const QString &prompt, const QString &title,
                                            const QString &defaultText)
{
    QInputDialog dialog(QApplication::activeWindow());
    dialog.setWindowTitle(title.isEmpty() ? programTitle() : title);
    dialog.setLabelText(prompt);
    dialog.setTextValue(defaultText);
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("キャンセル"));
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}

std::optional<int> Prompts::choose(const QString &, const QString &, const QStringList &, int)
{
    return std::nullopt;
}

std::optional<QString> Prompts::saveFileName(const QString &, const QString &, const QString &)
{
    return std::nullopt;
}

void Prompts::printPreview(const QString &, const std::function<void(QPagedPaintDevice *)> &)
{
}

std::optional<int> DialogPrompts::choose(const QString &prompt, const QString &title,
                                         const QStringList &options, int initial)
{
    QInputDialog dialog(QApplication::activeWindow());
    dialog.setWindowTitle(title.isEmpty() ? programTitle() : title);
    dialog.setLabelText(prompt);
    dialog.setComboBoxItems(options);
    dialog.setComboBoxEditable(false);
    if (initial >= 0 && initial < options.size())
        dialog.setTextValue(options[initial]);
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("キャンセル"));
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const int chosen = int(options.indexOf(dialog.textValue()));
    return chosen < 0 ? std::nullopt : std::optional<int>(chosen);
}

std::optional<QString> DialogPrompts::saveFileName(const QString &title, const QString &suggested,
                                                   const QString &filter)
{
    const QString name =
        QFileDialog::getSaveFileName(QApplication::activeWindow(), title, suggested, filter);
    if (name.isEmpty())
        return std::nullopt;
    return name;
}

void DialogPrompts::printPreview(const QString &title,
                                 const std::function<void(QPagedPaintDevice *)> &paint)
{
    using PrintPreview =
        void (*)(QWidget *, const QString &, const std::function<void(QPagedPaintDevice *)> &);
    QString error;
    const auto preview = reinterpret_cast<PrintPreview>(
        Modules::resolve(QStringLiteral("zento_print"), "zentoPrintPreview", &error));
    if (!preview) {
        message(QStringLiteral("印刷の画面を開けません。\n") + error, Buttons::Ok, Icon::Critical,
                title);
        return;
    }
    preview(QApplication::activeWindow(), title.isEmpty() ? programTitle() : title, paint);
}

std::optional<QString> DialogPrompts::chooseFile(FileMode mode, const QString &title,
                                                 const QString &suggested)
{
    const QString filter = QStringLiteral("データベース (*.dll);;すべてのファイル (*)");
    const QString chosen =
        mode == FileMode::Save
            ? QFileDialog::getSaveFileName(QApplication::activeWindow(), title, suggested, filter)
            : QFileDialog::getOpenFileName(QApplication::activeWindow(), title, suggested, filter);
    if (chosen.isEmpty())
        return std::nullopt;
    return chosen;
}
