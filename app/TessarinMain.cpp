#include "app/TessarinMain.h"

#include "app/Accessible.h"
#include "app/Version.h"
#include "resolver/AnsiText.h"
#include "resolver/HostAddress.h"
#include "resolver/clsIPRESOLVE.h"
#include "ui_TessarinMain.h"

#include <cstdio>
#include <cstdlib>

#include <QCloseEvent>
#include <QCursor>
#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QIcon>
#include <QMouseEvent>
#include <QPalette>
#include <QPixmap>
#include <QScreen>

// The pictures are compiled into a static library, which must register them itself.
static void InitResources()
{
    Q_INIT_RESOURCE(tessarin);
}

namespace tessarin {
namespace {

constexpr int RequiredMajor = 1;
constexpr int RequiredMinor = 1;
constexpr int MinimumSockets = 1;
constexpr std::size_t ComputerNameBufferLength = 250;
constexpr int FailureStatus = 1;
// Longer output is laid out breaking anywhere: Qt breaks one long word at
// word boundaries in time that grows with the square of its length.
constexpr qsizetype LongestWordWrappedOutput = 16384;

// Where the cursor file keeps its hot spot Qt does not read it, so it is repeated here.
constexpr int HandHotSpotX = 5;
constexpr int HandHotSpotY = 0;

QFont ControlFont()
{
    QFont font = QFontDatabase::hasFamily(QStringLiteral("Fixedsys"))
                     ? QFont(QStringLiteral("Fixedsys"))
                     : QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(9);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    return font;
}

// Ends the program at once: standard error is flushed, and nothing else runs,
// no window clean-up included.
[[noreturn]] void EndNow(int status) noexcept
{
    std::fflush(stderr);
    std::_Exit(status);
}

// Trims blanks only, as the computer name is padded with them.
QString TrimBlanks(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == u' ') {
        ++begin;
    }
    while (end > begin && text[end - 1] == u' ') {
        --end;
    }
    return text.sliced(begin, end - begin);
}

} // namespace

TessarinMain::TessarinMain(Platform& platform, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::TessarinMain>()), platform_(platform)
{
    InitResources();
    InstallAccessibility();
    ui->setupUi(this);
    ApplyLook();
    CentreOnScreen();
    Form_Load();
}

TessarinMain::~TessarinMain() = default;

std::array<TessarinMain::Button, 4> TessarinMain::Buttons() const
{
    return {{{ui->Label1, &TessarinMain::Label1_Click},
             {ui->Label2, &TessarinMain::Label2_Click},
             {ui->Label3, &TessarinMain::Label3_Click},
             {ui->Label4, &TessarinMain::Label4_Click}}};
}

void TessarinMain::ApplyLook()
{
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setWindowIcon(QIcon(QStringLiteral(":/tessarin.ico")));

    QPalette background = palette();
    background.setColor(QPalette::Window, Qt::white);
    setPalette(background);

    QFont windowFont(QStringLiteral("Century Gothic"));
    windowFont.setPointSizeF(8.25);
    setFont(windowFont);

    const QFont controls = ControlFont();
    const QCursor hand(QPixmap(QStringLiteral(":/hand.cur")), HandHotSpotX, HandHotSpotY);
    for (const Button& button : Buttons()) {
        QPalette caption = button.label->palette();
        caption.setColor(QPalette::WindowText, Qt::white);
        button.label->setPalette(caption);
        button.label->setFont(controls);
        button.label->setCursor(hand);
        button.label->installEventFilter(this);
    }
    ui->Text1->setFont(controls);
    ui->Text2->setFont(controls);
}

void TessarinMain::CentreOnScreen()
{
    // A top-level widget's position is its frame's; until the window manager has
    // framed the window its frame is the window itself.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - QRect({}, frameGeometry().size()).center());
    }
}

void TessarinMain::moveEvent(QMoveEvent* event)
{
    // The frame is known only once the window manager has put the window on the
    // screen: centre the whole frame then, once, and afterwards leave the window
    // wherever the user puts it.
    if (!framed_ && frameGeometry() != geometry()) {
        framed_ = true;
        CentreOnScreen();
    }
    QWidget::moveEvent(event);
}

void TessarinMain::Form_Load()
{
    SocketsInitialize();
    ShowComputerName();
}

void TessarinMain::SocketsInitialize()
{
    WSADATA data;
    if (platform_.WSAStartup(SocketsVersion11, data) != 0) {
        EndWithMessage(QStringLiteral("#ERROR: Winsock.dll is not responding."));
    }
    const int major = lobyte(data.wVersion);
    const int minor = hibyte(data.wVersion);
    if (major < RequiredMajor || (major == RequiredMajor && minor < RequiredMinor)) {
        EndWithMessage(
            QStringLiteral("Windows Sockets version %1.%2 is not supported by winsock.dll ")
                .arg(major)
                .arg(minor));
    }
    if (data.iMaxSockets < MinimumSockets) {
        EndWithMessage(
            QStringLiteral("This application requires a minimum of %1 supported sockets.")
                .arg(MinimumSockets));
    }
}

void TessarinMain::ShowComputerName()
{
    std::array<char, ComputerNameBufferLength> buffer;
    buffer.fill(' ');
    auto size = static_cast<std::uint32_t>(buffer.size());
    if (platform_.GetComputerNameA(buffer.data(), size) != 1) {
        return;
    }
    const QString text = FromAnsi(buffer.data(), static_cast<qsizetype>(buffer.size()));
    setWindowTitle(QStringLiteral("Tessarin - You are: ") + TrimBlanks(StripNull(text)));
}

void TessarinMain::Show(const QString& text)
{
    const QTextOption::WrapMode wrap = text.size() > LongestWordWrappedOutput
                                           ? QTextOption::WrapAnywhere
                                           : QTextOption::WrapAtWordBoundaryOrAnywhere;
    if (ui->Text2->wordWrapMode() != wrap) {
        ui->Text2->clear(); // so the old text is not laid out again in the new mode
        ui->Text2->setWordWrapMode(wrap);
    }
    ui->Text2->setPlainText(text);
}

void TessarinMain::closeEvent(QCloseEvent* event)
{
    SocketsCleanup();
    event->accept();
}

void TessarinMain::SocketsCleanup()
{
    const int result = platform_.WSACleanup();
    if (result != 0) {
        EndWithMessage(QStringLiteral("#ERROR: Socket error %1 occurred in Cleanup ").arg(result));
    }
}

void TessarinMain::EndWithMessage(const QString& message)
{
    // Also to standard error: the window never gets to show the message.
    Show(message);
    std::fprintf(stderr, "tessarin: %s\n", ToAnsi(message).constData());
    EndNow(FailureStatus);
}

bool TessarinMain::eventFilter(QObject* watched, QEvent* event)
{
    // The filter watches the four labels only. A click is a left press and
    // release inside one label. Qt turns the second press of a quick pair into
    // a double-click event: that is the press of a new click, unless the click
    // before it already ran this label's command and it came from the mouse.
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease &&
        type != QEvent::MouseButtonDblClick) {
        return QWidget::eventFilter(watched, event);
    }
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() != Qt::LeftButton) {
        return QWidget::eventFilter(watched, event);
    }
    if (type == QEvent::MouseButtonPress ||
        (type == QEvent::MouseButtonDblClick &&
         (clicked_ != watched || mouse->source() == Qt::MouseEventSynthesizedByApplication))) {
        pressed_ = watched;
        clicked_ = nullptr;
    } else if (type == QEvent::MouseButtonRelease && pressed_ == watched) {
        pressed_ = nullptr;
        // Qt hands the release to the label that took the press, wherever it is.
        if (static_cast<QWidget*>(watched)->rect().contains(mouse->position().toPoint())) {
            clicked_ = watched;
            for (const Button& button : Buttons()) {
                if (button.label == watched) {
                    (this->*button.click)();
                }
            }
        }
    }
    return true;
}

void TessarinMain::mousePressEvent(QMouseEvent* event)
{
    // A press anywhere else (a picture, the background) ends any pair with a label's click.
    clicked_ = nullptr;
    QWidget::mousePressEvent(event);
}

void TessarinMain::Label1_Click()
{
    Cleanit();
    const QString name = ui->Text1->text();
    // The platform's record is copied out on the thread that asked for it.
    Show(lookups_.Run([this, &name] { return FirstAddressOf(platform_, name); })
             .value_or(QStringLiteral("Can't resolve name: ") + ui->Text1->text()));
}

void TessarinMain::Cleanit()
{
    ui->Text1->setText(WithoutHttp(ui->Text1->text()));
}

void TessarinMain::Label2_Click()
{
    const QString lineBreak = QStringLiteral("\r\n");
    Show(QStringLiteral("App: Tessarin") + lineBreak + QStringLiteral("Dev: Korvane") + lineBreak +
         QStringLiteral("Ver: %1.%2.%3")
             .arg(version::Major)
             .arg(version::Minor)
             .arg(version::Revision) +
         lineBreak + QStringLiteral("Web: ") + QString::fromLatin1(version::WebPage));
}

void TessarinMain::Label3_Click()
{
    EndNow(0);
}

void TessarinMain::Label4_Click()
{
    // Made before the input is read and gone with the click, closing its session.
    clsIPRESOLVE resolver(platform_);
    const QString address = ui->Text1->text();
    Show(lookups_.Run([&resolver, &address] { return resolver.AddressToName(address); }));
}

} // namespace tessarin
