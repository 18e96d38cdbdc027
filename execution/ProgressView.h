#pragma once

#include <QString>
#include <functional>

// What the runner and the copy engine need of the progress window. The window
// itself belongs to the interface layer, which installs a factory for it.
class IProgressView {
public:
    virtual ~IProgressView() = default;
    virtual bool isShown() const = 0;
    // Shows the window: memo cleared, button "Cancel", placed and sized from the settings.
    virtual void showWindow() = 0;
    virtual void bringToFront() = 0;
    virtual void repaintNow() = 0;
    virtual void setGaugeMax(int max) = 0;
    virtual int gaugeProgress() const = 0;
    virtual void setGaugeProgress(int progress) = 0;
    virtual void addMemoLine(const QString &line) = 0;
    virtual void setButtonCaption(const QString &caption) = 0;
    virtual void raiseTopmost() = 0; // to the top of the window order, not moved or resized
    virtual void hideWindow() = 0;
    virtual void closeWindow() = 0; // hides; the window is kept for the next run
};

// The progress window when it has been created, else nullptr.
IProgressView *ProgressForm();
// Creates it on first use through the installed factory; nullptr when it cannot be made.
IProgressView *CreateProgressForm();
// The factory returns a window that lives until the program ends (or nullptr).
void SetProgressFormFactory(std::function<IProgressView *()> factory);
// Forgets the window (tests, shutdown); it is not deleted here.
void ResetProgressForm();
