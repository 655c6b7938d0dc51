#include "app/TessarinMain.h"

#include "app/Accessible.h"
#include "app/Caption.h"
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

// The fingertip: Qt ignores the hot spot a .cur file holds.
constexpr int HandHotSpotX = 5;
constexpr int HandHotSpotY = 0;

QFont ControlFont()
{
    QFont font = QFontDatabase::hasFamily(QStringLiteral("Fixedsys"))
                     ? QFont(QStringLiteral("Fixedsys"))
                     : QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(9);
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
    connect(ui->Label1, &Caption::clicked, this, &TessarinMain::Label1_Click);
    connect(ui->Label2, &Caption::clicked, this, &TessarinMain::Label2_Click);
    connect(ui->Label3, &Caption::clicked, this, &TessarinMain::Label3_Click);
    connect(ui->Label4, &Caption::clicked, this, &TessarinMain::Label4_Click);
    Form_Load();
}

TessarinMain::~TessarinMain() = default;

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
    for (Caption* caption : {ui->Label1, ui->Label2, ui->Label3, ui->Label4}) {
        QPalette white = caption->palette();
        white.setColor(QPalette::WindowText, Qt::white);
        caption->setPalette(white);
        caption->setFont(controls);
        caption->setCursor(hand);
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

void TessarinMain::ShowAnswer(const QString& text)
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
    ShowAnswer(message);
    std::fprintf(stderr, "tessarin: %s\n", ToAnsi(message).constData());
    EndNow(FailureStatus);
}

void TessarinMain::mousePressEvent(QMouseEvent* event)
{
    // On a picture or the background: a quick press on a caption next is a click of its own.
    Caption::EndPair();
    QWidget::mousePressEvent(event);
}

void TessarinMain::Label1_Click()
{
    Cleanit();
    const QString name = ui->Text1->text();
    // The platform's record is copied out on the thread that asked for it.
    ShowAnswer(lookups_.Run([this, &name] { return FirstAddressOf(platform_, name); })
                   .value_or(QStringLiteral("Can't resolve name: ") + ui->Text1->text()));
}

void TessarinMain::Cleanit()
{
    ui->Text1->setText(WithoutHttp(ui->Text1->text()));
}

void TessarinMain::Label2_Click()
{
    const QString lineBreak = QStringLiteral("\r\n");
    ShowAnswer(QStringLiteral("App: Tessarin") + lineBreak + QStringLiteral("Dev: Korvane") +
               lineBreak +
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
    ShowAnswer(lookups_.Run([&resolver, &address] { return resolver.AddressToName(address); }));
}

} // namespace tessarin
