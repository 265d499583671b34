#include "about/AboutBox.h"

#include "about/BuildInfo.h"
#include "about/Emblem.h"
#include "about/LinkLabel.h"
#include "about/VersionText.h"

#include <QDesktopServices>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QUrl>

namespace lum1 {

namespace {

QLabel* MakeLabel(QWidget* parent, const char* name, int left, int top) {
    auto* l = new QLabel(parent);
    l->setObjectName(QString::fromLatin1(name));
    // Texts come from files the user may edit: never read as markup.
    l->setTextFormat(Qt::PlainText);
    l->move(left, top);
    return l;
}

TLinkLabel* MakeLink(QWidget* parent, const char* name, int left, int top) {
    auto* l = new TLinkLabel(parent);
    l->setObjectName(QString::fromLatin1(name));
    l->move(left, top);
    return l;
}

void SetText(QLabel* label, const QString& text) {
    label->setText(text);
    label->setAccessibleName(text);
    if (!label->wordWrap())
        label->adjustSize();
}

// Only web pages are opened from the site detail: a file or program link in a hand-edited
// vendor file must not run anything.
QUrl WebUrl(const QString& site) {
    const QUrl url = QUrl::fromUserInput(site);
    const QString scheme = url.scheme().toLower();
    return (scheme == u"http" || scheme == u"https") && !url.host().isEmpty() ? url : QUrl();
}

} // namespace

TAboutBox::TAboutBox(TAboutContext context, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      context_(std::move(context)) {
    setObjectName(QStringLiteral("AboutBox"));
    setFixedSize(ClientWidth, ClientHeight);
    setWindowIcon(EmblemPicture());
    if (context_.FileVersion.isEmpty())
        context_.FileVersion = FileVersion();
    if (context_.BuildDate.isEmpty())
        context_.BuildDate = BuildDate();
    if (!context_.OpenUrl)
        context_.OpenUrl = [](const QUrl& url) { QDesktopServices::openUrl(url); };

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setLineWidth(2);
    Panel1->setGeometry(8, 8, 297, 209);

    ProgramIcon = MakeLink(Panel1, "ProgramIcon", 8, 16);
    ProgramIcon->SetLinkLook(false);
    ProgramIcon->setFixedSize(74, 45);
    ProgramIcon->setScaledContents(true);
    ProductName = MakeLabel(Panel1, "ProductName", 96, 16);
    Version = MakeLabel(Panel1, "Version", 96, 40);
    txtCopyright = MakeLabel(Panel1, "txtCopyright", 8, 64);
    LabelFax = MakeLabel(Panel1, "LabelFax", 8, 88);
    LabelFax->setWordWrap(true);
    LabelFax->resize(62, 40);
    LabelFax->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Comments = MakeLabel(Panel1, "Comments", 72, 88);
    Comments->setWordWrap(true);
    Comments->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Comments->resize(96, 26);
    LabelMulti = MakeLabel(Panel1, "LabelMulti", 168, 88);
    LabelMulti2 = MakeLabel(Panel1, "LabelMulti2", 168, 101);
    LabelSite = MakeLabel(Panel1, "LabelSite", 40, 132);
    LabelWWW = MakeLink(Panel1, "LabelWWW", 143, 129);
    LabelInfo = MakeLabel(Panel1, "LabelInfo", 40, 148);
    LabelEMail = MakeLink(Panel1, "LabelEMail", 144, 148);
    LabelTech = MakeLabel(Panel1, "LabelTech", 40, 164);
    Label1 = MakeLink(Panel1, "Label1", 144, 164);
    LabelService = MakeLabel(Panel1, "LabelService", 40, 180);
    Label3 = MakeLink(Panel1, "Label3", 144, 180);

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setGeometry(124, 228, 75, 25);
    OKButton->setDefault(true);
    OKButton->setAutoDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

    connect(ProgramIcon, &TLinkLabel::clicked, this, [this] { LabelWWWClick(); });
    connect(LabelWWW, &TLinkLabel::clicked, this, [this] { LabelWWWClick(); });
    for (TLinkLabel* mail : {LabelEMail, Label1, Label3})
        connect(mail, &TLinkLabel::clicked, this, [this, mail] { LabelEMailClick(mail); });

    // F1 reaches the window from whichever control has the focus.
    installEventFilter(this);
    for (QWidget* w : findChildren<QWidget*>())
        w->installEventFilter(this);

    FormCreate();
}

void TAboutBox::FormCreate() {
    const auto msg = [this](const char* key) {
        return context_.Msg ? context_.Msg(QString::fromLatin1(key)) : QString();
    };
    const bool english = context_.EnglishUI;
    SetText(ProductName, msg("Title"));
    setWindowTitle(msg("About") + u'"' + ProductName->text() + u'"');
    SetText(LabelFax, msg("Fax"));
    SetText(LabelMulti, msg("Multi"));
    SetText(LabelMulti2, msg("Multi"));
    SetText(LabelSite, msg("Site"));
    SetText(LabelInfo, msg("EmailInfo"));
    SetText(LabelTech, msg("Tech"));
    SetText(LabelService, msg("Service"));
    OKButton->setToolTip(english ? QStringLiteral("Close the window") : QStringLiteral("Закрыть окно"));
    OKButton->setAccessibleName(OKButton->toolTip());

    const TVendorInfo vendor = ReadVendorFile(context_.VendorFilePath);
    ShowVendorDetails(vendor);

    const std::optional<TBuildDateParts> date = SplitBuildDate(context_.BuildDate);
    if (!date)
        return;
    SetText(Version, VersionLine(english, context_.FileVersion, *date, [this](const QString& key) {
                return context_.Msg ? context_.Msg(key) : QString();
            }));
    // The distributor's own line, when the vendor file gives one, stands for the maker's.
    const QString brand = english ? vendor.BrandEnglish : vendor.BrandRussian;
    SetText(txtCopyright, brand.isEmpty() ? msg("Brand") : brand);
}

void TAboutBox::ShowVendorDetails(const TVendorInfo& vendor) {
    const bool english = context_.EnglishUI;
    QStringList phones;
    for (const QString& p : {vendor.Phone1, vendor.Phone2})
        if (!p.isEmpty())
            phones << p;
    Comments->setText(phones.join(u'\n'));
    Comments->setAccessibleName(phones.join(QStringLiteral(", ")));
    Comments->setToolTip(Comments->accessibleName());
    LabelFax->setVisible(!phones.isEmpty());
    Comments->setVisible(!phones.isEmpty());
    LabelMulti->setVisible(phones.size() >= 1);
    LabelMulti2->setVisible(phones.size() >= 2);
    for (QLabel* l : {LabelFax, LabelMulti, LabelMulti2, LabelSite, LabelInfo, LabelTech, LabelService})
        l->setToolTip(l->text());

    const bool site = !WebUrl(vendor.Site).isEmpty();
    const QString siteHint =
        site ? (english ? QStringLiteral("Open the web site %1") : QStringLiteral("Открыть сайт %1"))
                   .arg(vendor.Site)
             : QString();
    SetText(LabelWWW, vendor.Site);
    LabelWWW->setToolTip(siteHint);
    LabelWWW->setVisible(site);
    LabelSite->setVisible(site);
    ProgramIcon->SetActive(site);
    ProgramIcon->setPixmap(vendor.Emblem.isEmpty() ? EmblemPicture() : QPixmap(vendor.Emblem));
    if (ProgramIcon->pixmap().isNull())
        ProgramIcon->setPixmap(EmblemPicture());
    ProgramIcon->setToolTip(site ? siteHint : ProductName->text());
    ProgramIcon->setAccessibleName(english ? QStringLiteral("Emblem") : QStringLiteral("Эмблема"));

    const QString mailHint = english ? QStringLiteral("Write a message") : QStringLiteral("Написать письмо");
    const std::pair<TLinkLabel*, QLabel*> boxes[] = {
        {LabelEMail, LabelInfo}, {Label1, LabelTech}, {Label3, LabelService}};
    const QString addresses[] = {vendor.EmailInfo, vendor.EmailTech, vendor.EmailService};
    for (int i = 0; i < 3; ++i) {
        SetText(boxes[i].first, addresses[i]);
        boxes[i].first->setToolTip(mailHint);
        boxes[i].first->setVisible(!addresses[i].isEmpty());
        boxes[i].second->setVisible(!addresses[i].isEmpty());
    }
}

void TAboutBox::LabelEMailClick(const TLinkLabel* label) {
    if (label->text().isEmpty())
        return;
    QUrl url;
    url.setScheme(QStringLiteral("mailto"));
    url.setPath(label->text());
    // The subject is the program title as it stands; the URL carries it percent-encoded, so
    // blanks, Cyrillic letters and a '&' in an edited title all arrive intact.
    const QString title = context_.Msg ? context_.Msg(QStringLiteral("Title")) : QString();
    url.setQuery(QStringLiteral("Subject=") + QString::fromLatin1(QUrl::toPercentEncoding(title)),
                 QUrl::StrictMode);
    context_.OpenUrl(url);
}

void TAboutBox::LabelWWWClick() {
    if (const QUrl url = WebUrl(LabelWWW->text()); !url.isEmpty())
        context_.OpenUrl(url);
}

void TAboutBox::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    // The emblem and the links come first in the focus chain and open their link on Return;
    // the window opens with OK focused so that Enter closes it, as the default button promises.
    OKButton->setFocus(Qt::ActiveWindowFocusReason);
    if (parentWidget())
        move(parentWidget()->frameGeometry().center() - QPoint(width() / 2, height() / 2));
    FormActivate();
}

// Keeps the window on the screen, with no margin.
void TAboutBox::FormActivate() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QSize area = screen->geometry().size();
    int left = x(), top = y();
    if (left < 0)
        left = 0;
    else if (left > area.width() - width())
        left = area.width() - width();
    if (top < 0)
        top = 0;
    else if (top > area.height() - height())
        top = area.height() - height();
    move(left, top);
}

bool TAboutBox::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_F1) {
        if (context_.Help)
            context_.Help();
        return true;
    }
    return QDialog::eventFilter(watched, e);
}

} // namespace lum1
