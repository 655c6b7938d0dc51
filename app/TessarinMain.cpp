#include "app/TessarinMain.h"

#include "app/EndNow.h"
#include "app/Version.h"
#include "app/WithoutHttp.h"
#include "resolver/AnsiText.h"
#include "resolver/HostAddress.h"
#include "resolver/clsIPRESOLVE.h"
#include "ui_TessarinMain.h"

#include <array>
#include <cstdio>

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

constexpr std::uint16_t SocketsVersion11 = 0x0101;
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
    ui->setupUi(this);
    ApplyLook();
    for (QLabel* label : {ui->Label1, ui->Label2, ui->Label3, ui->Label4}) {
        label->installEventFilter(this);
    }
    ui->Text1->setFocus();
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
    setAutoFillBackground(true);

    QFont windowFont(QStringLiteral("Century Gothic"));
    windowFont.setPointSizeF(8.25);
    setFont(windowFont);

    const QFont controls = ControlFont();
    const QCursor hand(QPixmap(QStringLiteral(":/hand.cur")), HandHotSpotX, HandHotSpotY);
    for (QLabel* label : {ui->Label1, ui->Label2, ui->Label3, ui->Label4}) {
        QPalette caption = label->palette();
        caption.setColor(QPalette::WindowText, Qt::white);
        label->setPalette(caption);
        label->setFont(controls);
        label->setCursor(hand);
    }
    ui->Text1->setFont(controls);
    ui->Text2->setFont(controls);

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
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
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    setWindowTitle(QStringLiteral("Tessarin - You are: ") +
                   TrimBlanks(nul < 0 ? text : text.first(nul)));
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
    // release inside a label; the press is taken here so it goes no further,
    // and Qt hands the release to the label that took the press.
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease) {
        return QWidget::eventFilter(watched, event);
    }
    const auto* mouse = static_cast<QMouseEvent*>(event);
    const auto* label = static_cast<QLabel*>(watched);
    if (mouse->button() != Qt::LeftButton) {
        return QWidget::eventFilter(watched, event);
    }
    if (type == QEvent::MouseButtonPress) {
        return true;
    }
    if (label->rect().contains(mouse->position().toPoint())) {
        if (label == ui->Label1) {
            Label1_Click();
        } else if (label == ui->Label2) {
            Label2_Click();
        } else if (label == ui->Label3) {
            Label3_Click();
        } else if (label == ui->Label4) {
            Label4_Click();
        }
    }
    return true;
}

// HOST TO IP
void TessarinMain::Label1_Click()
{
    Cleanit();
    const QByteArray name = ToAnsi(ui->Text1->text());
    const std::optional<QByteArray> address =
        CopyFirstAddress(platform_.gethostbyname(name.constData()));
    Show(address ? DottedDecimal(*address)
                 : QStringLiteral("Can't resolve name: ") + ui->Text1->text());
}

void TessarinMain::Cleanit()
{
    ui->Text1->setText(WithoutHttp(ui->Text1->text()));
}

// ABOUT
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

// QUIT
void TessarinMain::Label3_Click()
{
    EndNow(0);
}

// IP TO HOST
void TessarinMain::Label4_Click()
{
    // Made before the input is read and gone with the click, closing its session.
    clsIPRESOLVE resolver(platform_);
    Show(resolver.AddressToName(ui->Text1->text()));
}

} // namespace tessarin
