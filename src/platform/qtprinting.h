#pragma once

#include "platform/printing.h"

#include <functional>

class QPrinter;

namespace plovista {

// Printing through Qt Print Support. The print dialog offers the printers of
// the system and, always, printing to a PDF file.
class QtPrinting final : public Printing
{
public:
    // Sets up the printer as the user wants it; false when the user cancels.
    using Dialog = std::function<bool(QPrinter &printer)>;

    // Without a dialog of its own, the desktop's print dialog is shown.
    explicit QtPrinting(Dialog dialog = {});

    PrintOutcome printImage(const QImage &image, const QString &jobName) override;
    PrintOutcome printPages(const QString &jobName, const PagesForCopies &pagesFor) override;
    PrintOutcome printPainted(const QString &jobName, const PaintPage &paint) override;

private:
    Dialog m_dialog;
};

} // namespace plovista
