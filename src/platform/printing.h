#pragma once

#include <QImage>
#include <QString>

namespace plovista {

struct PrintOutcome
{
    bool printed = false;
    bool cancelled = false;
    QString error; // why printing failed, when it did
};

// Printing through the desktop's print system (a PDF file where there is no
// printer). Worksheet printing adds its own call when worksheets are built.
class Printing
{
public:
    virtual ~Printing() = default;
    // Prints one page holding the image scaled to fit, after the print dialog.
    virtual PrintOutcome printImage(const QImage &image, const QString &jobName) = 0;
};

} // namespace plovista
