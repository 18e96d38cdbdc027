#pragma once

#include "execution/ProgressView.h"

#include <QStringList>

// Stands in for the progress window: remembers what the runner did to it.
class FakeProgress : public IProgressView {
public:
    bool shown = false;
    int shows = 0, fronts = 0, hides = 0, closes = 0, raises = 0;
    int gaugeMax = -1, gauge = 0;
    QString button;
    QStringList memo;

    bool isShown() const override { return shown; }
    void showWindow() override {
        shown = true;
        ++shows;
        memo.clear();
        button = "Cancel";
    }
    void bringToFront() override { ++fronts; }
    void repaintNow() override {}
    void setGaugeMax(int max) override { gaugeMax = max; }
    int gaugeProgress() const override { return gauge; }
    void setGaugeProgress(int p) override { gauge = p; }
    void addMemoLine(const QString &line) override { memo << line; }
    void setButtonCaption(const QString &c) override { button = c; }
    void raiseTopmost() override { ++raises; }
    void hideWindow() override {
        shown = false;
        ++hides;
    }
    void closeWindow() override {
        shown = false;
        ++closes;
    }
    // Memo lines without their "date time: " stamps.
    QStringList messages() const {
        QStringList out;
        for (const QString &l : memo) {
            const qsizetype at = l.indexOf(": ");
            out << (at >= 0 ? l.mid(at + 2) : l);
        }
        return out;
    }
};

// Installs a FakeProgress as the progress window for its lifetime.
struct FakeProgressInstall {
    FakeProgress form;
    FakeProgressInstall() {
        ResetProgressForm();
        SetProgressFormFactory([this]() -> IProgressView * { return &form; });
    }
    ~FakeProgressInstall() {
        ResetProgressForm();
        SetProgressFormFactory(nullptr);
    }
};
