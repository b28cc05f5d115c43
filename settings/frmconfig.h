#pragma once

#include "core/settings/settingsfile.h"

#include <QString>
#include <QWidget>

class Program;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;

// The settings window "栄養価計算の設定". Loading it (constructing it) reads
// the settings file "zento.ini" into its controls; "OK" writes the controls
// back into the file and unloads the window; "ｷｬﾝｾﾙ" and the close box unload
// it without touching the file. The start-up routine reads the file once and
// hands that reading to the window when it is first needed, so the window
// shows what the file held at start-up. The window deletes itself when it is
// closed.
class FrmConfig : public QWidget
{
    Q_OBJECT

public:
    explicit FrmConfig(Program &program, QWidget *parent = nullptr);
    // Loads the controls from a reading of the file already made.
    FrmConfig(Program &program, const SettingsFile::Reading &reading, QWidget *parent = nullptr);

private:
    // The controls; other code and the tests reach them by objectName.
    QGroupBox *Frame1;     // "起動時の設定"
    QCheckBox *Check1;     // "表紙の表示": the cover window at start-up
    QComboBox *Combo1;     // background colour name at start-up (editable)
    QPushButton *Command1; // "OK"
    QPushButton *Command4; // "ｷｬﾝｾﾙ"
    QLineEdit *Text1;      // hidden: the whole text of the settings file, CR LF kept
    QLineEdit *Text4;      // hidden: value of "[SPEED]"
    QLineEdit *Text3;      // hidden: value of "[FLM]"

public:
    // Puts the whole file's text into Text1; false when the file can neither
    // be read nor created (a missing file is created empty).
    bool ReadSettingsFile();
    // Writes the text of Text1 into the file, replacing it whole; false, with
    // the reason in lastError(), when it cannot.
    bool WriteSettingsFile();
    // Builds the file's text from the controls into Text1.
    void ComposeSettingsText();
    static QString GetSettingValue(const QString &text, const QString &key);

    // The text of Text1, exactly as read or composed.
    QString settingsText() const;
    QString lastError() const { return m_lastError; }

    // Check1 as the number the file stores: 0 off, 1 on, 2 greyed.
    int checkValue() const;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void load(const SettingsFile::Reading &reading);
    void okClicked();
    void setSettingsText(const QString &text);
    void setComboText(const QString &text);
    void setCheckValue(int value);

    Program &m_program;
    QString m_lastError;
};
