#include "lot/ReportHeaderDialog.h"

#include "platform/Dialogs.h"
#include "report/ReportLogo.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace lum1 {

namespace {

void Name(QWidget* w, const QString& text, const QString& hint) {
    QString plain = text;
    plain.remove(u'&');
    if (plain.endsWith(u':'))
        plain.chop(1);
    w->setAccessibleName(plain);
    w->setToolTip(hint.isEmpty() ? plain : hint);
}

struct TFieldText {
    const char* key;
    const char* label;
    const char* hint;
    QString TAcceptanceHeader::*field;
};

const TFieldText kFields[] = {
    {"Organisation", "HdrOrganisation", "HdrOrganisationHint", &TAcceptanceHeader::Organisation},
    {"Project", "HdrProject", "HdrProjectHint", &TAcceptanceHeader::Project},
    {"Road", "HdrRoad", "HdrRoadHint", &TAcceptanceHeader::Road},
    {"Layer", "HdrLayer", "HdrLayerHint", &TAcceptanceHeader::Layer},
    {"Mix", "HdrMix", "HdrMixHint", &TAcceptanceHeader::Mix},
    {"Gauge", "HdrGauge", "HdrGaugeHint", &TAcceptanceHeader::Gauge},
    {"Operator", "HdrOperator", "HdrOperatorHint", &TAcceptanceHeader::Operator},
};

} // namespace

TReportHeaderDialog::TReportHeaderDialog(const TReportHeaderSetup& setup, IDialogs& dialogs,
                                         std::function<QString(const QString&)> extra, QWidget* parent)
    : QDialog(parent), dialogs_(dialogs), extra_(std::move(extra)) {
    setObjectName(QStringLiteral("ReportHeaderDialog"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setMinimumWidth(560);
    const QString title = Text("HdrWindow");
    setWindowTitle(title);
    setAccessibleName(title);

    auto* form = new QFormLayout;
    auto addField = [&](const TFieldText& f, const QString& value) {
        auto* edit = new QLineEdit(value, this);
        edit->setObjectName(QStringLiteral("Header") + QString::fromLatin1(f.key));
        edit->setMaxLength(1000);
        auto* label = new QLabel(Text(f.label), this);
        label->setBuddy(edit);
        Name(edit, Text(f.label), Text(f.hint));
        Name(label, Text(f.label), Text(f.hint));
        form->addRow(label, edit);
        fields_.emplace_back(f.key, edit);
    };
    addField(kFields[0], setup.Header.Organisation);

    // The logo: its file, a button to choose one, one to remove it, and the picture as it is read.
    logo_ = new QLineEdit(setup.Logo, this);
    logo_->setObjectName(QStringLiteral("HeaderLogo"));
    browse_ = new QPushButton(Text("HdrLogoBrowse"), this);
    browse_->setObjectName(QStringLiteral("HeaderLogoBrowse"));
    clearLogo_ = new QPushButton(Text("HdrLogoClear"), this);
    clearLogo_->setObjectName(QStringLiteral("HeaderLogoClear"));
    for (QPushButton* b : {browse_, clearLogo_})
        b->setAutoDefault(false);
    auto* logoRow = new QHBoxLayout;
    logoRow->addWidget(logo_, 1);
    logoRow->addWidget(browse_);
    logoRow->addWidget(clearLogo_);
    auto* logoLabel = new QLabel(Text("HdrLogo"), this);
    logoLabel->setBuddy(logo_);
    form->addRow(logoLabel, logoRow);
    logoPreview_ = new QLabel(this);
    logoPreview_->setObjectName(QStringLiteral("HeaderLogoPreview"));
    logoPreview_->setMinimumHeight(64);
    logoPreview_->setWordWrap(true);
    form->addRow(QString(), logoPreview_);
    Name(logo_, Text("HdrLogo"), Text("HdrLogoHint"));
    Name(logoLabel, Text("HdrLogo"), Text("HdrLogoHint"));
    Name(browse_, Text("HdrLogoBrowse"), Text("HdrLogoBrowseHint"));
    Name(clearLogo_, Text("HdrLogoClear"), Text("HdrLogoClearHint"));
    Name(logoPreview_, Text("HdrLogoPicture"), Text("HdrLogoHint"));
    fields_.emplace_back("Logo", logo_);

    for (size_t i = 1; i < std::size(kFields); ++i)
        addField(kFields[i], setup.Header.*kFields[i].field);

    auto* note = new QLabel(Text("HdrNote"), this);
    note->setWordWrap(true);
    note->setObjectName(QStringLiteral("HeaderNote"));
    Name(note, Text("HdrNote"), {});

    buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons_->button(QDialogButtonBox::Ok)->setText(Text("LimOk"));
    buttons_->button(QDialogButtonBox::Cancel)->setText(Text("LimCancel"));
    buttons_->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("HeaderOk"));
    buttons_->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("HeaderCancel"));
    Name(buttons_->button(QDialogButtonBox::Ok), Text("LimOk"), Text("HdrOkHint"));
    Name(buttons_->button(QDialogButtonBox::Cancel), Text("LimCancel"), Text("LimCancelHint"));
    connect(buttons_, &QDialogButtonBox::accepted, this, &TReportHeaderDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(note);
    layout->addWidget(buttons_);

    connect(browse_, &QPushButton::clicked, this, [this] { BrowseLogo(); });
    connect(clearLogo_, &QPushButton::clicked, this, [this] {
        logo_->clear();
        CheckLogo(false);
    });
    connect(logo_, &QLineEdit::editingFinished, this, [this] { CheckLogo(false); });
    CheckLogo(false);
}

QString TReportHeaderDialog::Text(const char* key) const {
    return extra_ ? extra_(QString::fromLatin1(key)) : QString::fromLatin1(key);
}

QLineEdit* TReportHeaderDialog::Field(const char* key) const {
    for (const auto& [k, edit] : fields_)
        if (qstrcmp(k, key) == 0)
            return edit;
    return nullptr;
}

TReportHeaderSetup TReportHeaderDialog::Setup() const {
    TReportHeaderSetup s;
    for (const TFieldText& f : kFields)
        s.Header.*f.field = Field(f.key)->text();
    s.Logo = logo_->text().trimmed();
    return s;
}

bool TReportHeaderDialog::CheckLogo(bool tell) {
    const QString path = logo_->text().trimmed();
    if (path.isEmpty()) {
        logoPreview_->setPixmap(QPixmap());
        logoPreview_->setText(Text("HdrNoLogo"));
        return true;
    }
    const TReportLogo logo = LoadReportLogo(path);
    const QString native = QDir::toNativeSeparators(path);
    QString refusal;
    switch (logo.Result) {
    case TReportLogo::Loaded:
        logoPreview_->setText(QString());
        logoPreview_->setPixmap(
            QPixmap::fromImage(logo.Image.scaled(240, 64, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
        return true;
    case TReportLogo::CantOpen:
        refusal = Text("AccLogoCantOpen").arg(native);
        break;
    case TReportLogo::NotImage:
        refusal = Text("AccLogoNotImage").arg(native);
        break;
    case TReportLogo::TooLarge:
        refusal = Text("AccLogoTooLarge").arg(native, logo.Detail);
        break;
    }
    logoPreview_->setPixmap(QPixmap());
    logoPreview_->setText(refusal);
    if (tell) {
        MessageRequest message;
        message.caption = caption;
        message.text = refusal;
        message.icon = MsgIcon::Warning;
        message.parent = this;
        dialogs_.Message(message);
    }
    return false;
}

void TReportHeaderDialog::BrowseLogo() {
    FileDialogRequest request;
    request.parent = this;
    request.title = Text("HdrLogoBrowseTitle");
    request.filters = {Text("HdrLogoFilter")};
    const QString current = logo_->text().trimmed();
    request.directory = current.isEmpty() ? logoFolder : QFileInfo(current).absolutePath();
    const std::optional<QString> path = dialogs_.OpenFileName(request);
    if (!path)
        return;
    logo_->setText(*path);
    CheckLogo(true);
}

void TReportHeaderDialog::accept() {
    if (!CheckLogo(true)) {
        logo_->setFocus();
        return;
    }
    QDialog::accept();
}

void TReportHeaderDialog::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_F1) {
        if (help)
            help();
        return;
    }
    QDialog::keyPressEvent(e);
}

} // namespace lum1
