#pragma once

#include "execution/ProgressView.h"

#include <QImage>
#include <QWidget>

class QFrame;
class QPlainTextEdit;
class QPushButton;
class TPmGauge;

// The window a run shows: the gauge over the batch's rows, Cancel (later Close), and the
// running list of status messages. Closing it hides it; it is kept for the next run.
class TProgressForm : public QWidget, public IProgressView {
    Q_OBJECT
public:
    explicit TProgressForm(QWidget *parent = nullptr);

    // IProgressView
    bool isShown() const override;
    void showWindow() override;
    void bringToFront() override;
    void repaintNow() override;
    void setGaugeMax(int max) override;
    int gaugeProgress() const override;
    void setGaugeProgress(int progress) override;
    void addMemoLine(const QString &line) override;
    void setButtonCaption(const QString &caption) override;
    void raiseTopmost() override;
    void hideWindow() override;
    void closeWindow() override;

    TPmGauge *ProgressGauge() const { return m_gauge; }
    QPushButton *button_cancel() const { return m_button; }
    QPlainTextEdit *Memo1() const { return m_memo; }
    QStringList memoLines() const;

    void button_cancelClick();

    // The shading pictures beside and under the gauge (24-bit, soft shadows).
    enum ShadingPiece { ShadeLeft, ShadeRight, ShadeBottom };
    static QImage ShadingPicture(ShadingPiece piece);
    // Each colour byte of the picture multiplied with the background's: trunc(b * p / 255).
    static QImage ShadeWithBackground(const QImage &picture, const QColor &background);

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void FormShow();
    void setOuterHeight(int height);
    QMargins frameMargins() const;
    void layoutPanels();
    void paintShading(QWidget *box, ShadingPiece piece);

    QFrame *m_panel1 = nullptr;
    QWidget *m_panel2 = nullptr;
    QFrame *m_bevel = nullptr;
    QWidget *m_panel3 = nullptr;
    TPmGauge *m_gauge = nullptr;
    QPushButton *m_button = nullptr;
    QPlainTextEdit *m_memo = nullptr;
    QImage m_pictures[3];
};

// Makes the program's progress window the one CreateProgressForm answers: made on first
// use, without owner, and kept until the program ends. Also gives the copy engine the
// system's beep.
void InstallProgressForm();
