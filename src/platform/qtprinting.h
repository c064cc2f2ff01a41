#pragma once

#include "platform/printing.h"

namespace plovista {

// Printing through Qt Print Support. The print dialog offers the printers of
// the system and, always, printing to a PDF file.
class QtPrinting final : public Printing
{
public:
    PrintOutcome printImage(const QImage &image, const QString &jobName) override;
    PrintOutcome printPainted(const QString &jobName, const PaintPage &paint) override;
};

} // namespace plovista
