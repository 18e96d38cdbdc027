#include "ui/ProgressFormUnit.h"

#include "execution/CopyUnit.h"
#include "model/Globals.h"
#include "model/Messages.h"
#include "settings/Config.h"
#include "ui/PmGauge.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QWindow>
#include <cmath>

namespace {

constexpr int ClientWidth = 588;
constexpr int HeightWithMessages = 410;
constexpr int HeightGaugeOnly = 72;
constexpr int BandHeight = 41;
constexpr int BevelHeight = 4;

// A paint box: its picture is drawn by the window.
class TPaintBox : public QWidget {
public:
    TPaintBox(QWidget *parent, std::function<void(QWidget *)> paint)
        : QWidget(parent), m_paint(std::move(paint)) {}

protected:
    void paintEvent(QPaintEvent *) override { m_paint(this); }

private:
    std::function<void(QWidget *)> m_paint;
};

// 255 leaves the background as it is; lower values darken it.
int shadowByte(double nearness) {
    nearness = std::clamp(nearness, 0.0, 1.0);
    return 255 - int(std::lround(96.0 * nearness * nearness));
}

} // namespace

TProgressForm::TProgressForm(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint) {
    setWindowTitle(QStringLiteral("Velloran Tarnwick  Progress"));
    // Closing this window must never end the program.
    setAttribute(Qt::WA_QuitOnClose, false);
    QFont f = font();
    f.setPointSize(8);
    setFont(f);

    m_panel1 = new QFrame(this);
    m_panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    m_panel1->setLineWidth(1);

    m_panel2 = new QWidget(m_panel1);
    m_gauge = new TPmGauge(m_panel2);
    m_gauge->setGeometry(15, 13, 468, 18);
    m_gauge->setBackColor(palette().color(QPalette::Button));
    m_gauge->setForeColor(QColor(0x27, 0x6D, 0x94)); // $00946D27
    m_pictures[ShadeLeft] = ShadingPicture(ShadeLeft);
    m_pictures[ShadeRight] = ShadingPicture(ShadeRight);
    m_pictures[ShadeBottom] = ShadingPicture(ShadeBottom);
    const struct {
        ShadingPiece piece;
        QRect place;
    } boxes[] = {{ShadeLeft, QRect(13, 13, 2, 18)},
                 {ShadeRight, QRect(483, 13, 6, 18)},
                 {ShadeBottom, QRect(13, 31, 476, 8)}};
    for (const auto &b : boxes) {
        const ShadingPiece piece = b.piece;
        auto *box = new TPaintBox(m_panel2, [this, piece](QWidget *w) { paintShading(w, piece); });
        box->setGeometry(b.place);
    }
    m_button = new QPushButton(QStringLiteral("Cancel"), m_panel2);
    m_button->setGeometry(499, 12, 75, 22);
    connect(m_button, &QPushButton::clicked, this, [this] { button_cancelClick(); });

    m_bevel = new QFrame(m_panel1);
    m_bevel->setFrameStyle(QFrame::HLine | QFrame::Sunken);

    m_panel3 = new QWidget(m_panel1);
    m_panel3->setAutoFillBackground(true);
    QPalette windowColour = m_panel3->palette();
    windowColour.setColor(QPalette::Window, windowColour.color(QPalette::Base));
    m_panel3->setPalette(windowColour);
    m_memo = new QPlainTextEdit(m_panel3);
    m_memo->setReadOnly(true);
    m_memo->setFrameShape(QFrame::NoFrame);
    m_memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    setFixedSize(ClientWidth, HeightWithMessages);
    layoutPanels();
}

void TProgressForm::layoutPanels() {
    m_panel1->setGeometry(rect());
    const QRect inside = m_panel1->contentsRect();
    m_panel2->setGeometry(inside.left(), inside.top(), inside.width(), BandHeight);
    m_bevel->setGeometry(inside.left(), inside.top() + BandHeight, inside.width(), BevelHeight);
    const int top3 = inside.top() + BandHeight + BevelHeight;
    m_panel3->setGeometry(inside.left(), top3, inside.width(),
                          std::max(0, inside.bottom() + 1 - top3));
    // The strips of window colour: 6 pixels at the top, 8 at the left.
    m_memo->setGeometry(8, 6, std::max(0, m_panel3->width() - 8),
                        std::max(0, m_panel3->height() - 6));
}

void TProgressForm::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    layoutPanels();
}

bool TProgressForm::isShown() const {
    return isVisible();
}

void TProgressForm::showWindow() {
    show();
}

void TProgressForm::bringToFront() {
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
}

void TProgressForm::repaintNow() {
    if (isVisible())
        repaint();
}

void TProgressForm::setGaugeMax(int max) {
    m_gauge->setMaxValue(max);
}

int TProgressForm::gaugeProgress() const {
    return m_gauge->Progress();
}

void TProgressForm::setGaugeProgress(int progress) {
    m_gauge->setProgress(progress);
}

void TProgressForm::addMemoLine(const QString &line) {
    QString text = line;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    m_memo->appendPlainText(text);
}

QStringList TProgressForm::memoLines() const {
    const QString text = m_memo->toPlainText();
    return text.isEmpty() && m_memo->document()->blockCount() <= 1 ? QStringList()
                                                                   : text.split(QLatin1Char('\n'));
}

void TProgressForm::setButtonCaption(const QString &caption) {
    m_button->setText(caption);
}

void TProgressForm::raiseTopmost() {
    raise();
}

void TProgressForm::hideWindow() {
    hide();
}

void TProgressForm::closeWindow() {
    close();
}

void TProgressForm::button_cancelClick() {
    BatchCancelled = true;
    if (m_button->text() == QLatin1String("Close"))
        close();
}

void TProgressForm::showEvent(QShowEvent *event) {
    // Shown by the program, not restored by the window manager.
    if (!event->spontaneous())
        FormShow();
    QWidget::showEvent(event);
}

QMargins TProgressForm::frameMargins() const {
    // Known once the window exists on the platform; before that the frame counts as none.
    return windowHandle() ? windowHandle()->frameMargins() : QMargins();
}

void TProgressForm::FormShow() {
    TraceStep(QStringLiteral("ProgressForm.FormShow"));
    m_button->setText(QStringLiteral("Cancel"));
    m_memo->clear();
    // The height first, so that a centred window is centred with the size it shows.
    setOuterHeight(Config.ShowMess ? HeightWithMessages : HeightGaugeOnly);
    const QMargins frame = frameMargins();
    QPoint outerTopLeft;
    if (Config.ProgressLeft > 0) {
        outerTopLeft = QPoint(Config.ProgressLeft, Config.ProgressTop);
    } else {
        QScreen *s = screen() ? screen() : QGuiApplication::primaryScreen();
        const QRect area = s ? s->availableGeometry() : QRect();
        const int right = area.x() + area.width();
        const int bottom = area.y() + area.height();
        const int outerWidth = width() + frame.left() + frame.right();
        const int outerHeight = height() + frame.top() + frame.bottom();
        outerTopLeft = QPoint((right - outerWidth) / 2, (bottom - outerHeight) / 2);
    }
    setGeometry(QRect(outerTopLeft + QPoint(frame.left(), frame.top()), size()));
    raiseTopmost();
}

void TProgressForm::setOuterHeight(int height) {
    const QMargins frame = frameMargins();
    setFixedSize(ClientWidth, std::max(1, height - frame.top() - frame.bottom()));
}

void TProgressForm::closeEvent(QCloseEvent *event) {
    // Closing is always allowed, and closing during a run cancels it. The window is
    // only hidden; the next run shows it again.
    BatchCancelled = true;
    event->accept();
    TraceStep(QStringLiteral("ProgressForm.FormClose"));
}

QImage TProgressForm::ShadingPicture(ShadingPiece piece) {
    QSize size = piece == ShadeLeft    ? QSize(2, 18)
                 : piece == ShadeRight ? QSize(6, 18)
                                       : QSize(476, 8);
    QImage image(size, QImage::Format_RGB888);
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            double nearness = 0;
            switch (piece) {
            case ShadeLeft: // a faint edge just left of the gauge
                nearness = 0.45 * (x + 1) / 2.0;
                break;
            case ShadeRight: // falls off to the right, fades in from the top
                nearness = (1.0 - x / 6.0) * std::min(1.0, (y + 1) / 5.0);
                break;
            case ShadeBottom: // falls off downwards, fades in from the left end
                nearness = (1.0 - y / 8.0) * std::min(1.0, (x + 1) / 5.0);
                break;
            }
            const int v = shadowByte(nearness);
            image.setPixel(x, y, qRgb(v, v, v));
        }
    }
    return image;
}

QImage TProgressForm::ShadeWithBackground(const QImage &picture, const QColor &background) {
    const QImage source = picture.convertToFormat(QImage::Format_RGB888);
    QImage out(source.size(), QImage::Format_RGB888);
    out.fill(background);
    for (int y = 0; y < out.height(); ++y) {
        const uchar *p = source.constScanLine(y);
        uchar *o = out.scanLine(y);
        for (int i = 0; i < out.width() * 3; ++i)
            o[i] = uchar(int(o[i]) * int(p[i]) / 255);
    }
    return out;
}

void TProgressForm::paintShading(QWidget *box, ShadingPiece piece) {
    QPainter p(box);
    p.drawImage(0, 0, ShadeWithBackground(m_pictures[piece], palette().color(QPalette::Window)));
}

void InstallProgressForm() {
    SetProgressFormFactory([]() -> IProgressView * {
        static TProgressForm *form = nullptr;
        if (!form && qobject_cast<QApplication *>(QCoreApplication::instance()))
            form = new TProgressForm;
        return form;
    });
    SetCopyBeep([] { QApplication::beep(); });
}
