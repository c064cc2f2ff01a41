#pragma once

#include "app/formwindow.h"

namespace plovista {

// Stand-ins for two teacher windows still to come. Each says what it will
// hold; closing it returns to the Utility Menu.
class PlaceholderWindow : public FormWindow
{
    Q_OBJECT
public:
    PlaceholderWindow(App &app, const QString &objectName, const QString &caption, const QString &text);

    void open();

protected:
    void closeEvent(QCloseEvent *event) override;
};

// The speech settings.
class ControlPeedy final : public PlaceholderWindow
{
    Q_OBJECT
public:
    explicit ControlPeedy(App &app);
};

// The printed worksheet tests.
class Test final : public PlaceholderWindow
{
    Q_OBJECT
public:
    explicit Test(App &app);
};

} // namespace plovista
