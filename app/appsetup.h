#pragma once

class QApplication;

// What every run of the program (and every test) sets up once: the Japanese
// fonts the layouts name, Qt's own texts in Japanese and the default font.
void setUpApplication(QApplication &app);
