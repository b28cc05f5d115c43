// The print preview, built as a module of its own that the program loads when
// it first prints: the print support library is then not loaded at every
// start.
#include <QPageSize>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QWidget>
#include <functional>

extern "C" Q_DECL_EXPORT void
zentoPrintPreview(QWidget *parent, const QString &title,
                  const std::function<void(QPagedPaintDevice *)> &paint)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    QPrintPreviewDialog dialog(&printer, parent);
    dialog.setWindowTitle(title);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&paint](QPrinter *target) { paint(target); });
    dialog.exec();
}
