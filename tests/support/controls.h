#pragma once

// Reaches a window's control by its objectName, as the rest of the program
// knows it ("Text2", "Command8", "AdoKou"); a missing control ends the test
// program, so a renamed control cannot pass unnoticed.

#include <QByteArray>
#include <QObject>
#include <QtGlobal>

template <typename T> T *ctl(const QObject &window, const char *name)
{
    T *control = window.findChild<T *>(QLatin1String(name));
    if (!control)
        qFatal("%s has no control %s", qPrintable(window.objectName()), name);
    return control;
}

// Element `index` of a control array ("Kdata", 3 is "Kdata_3").
template <typename T> T *ctl(const QObject &window, const char *name, int index)
{
    const QByteArray element = QByteArray(name) + '_' + QByteArray::number(index);
    return ctl<T>(window, element.constData());
}
