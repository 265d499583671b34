#include "archiveui/LotDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace lum1 {

namespace {

void Describe(QWidget* w, const QString& tip) {
    w->setToolTip(tip);
    w->setAccessibleName(tip);
}

QComboBox* NameChoice(const QStringList& names, const QString& current, QWidget* parent) {
    auto* box = new QComboBox(parent);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->addItem(QString());
    box->addItems(names);
    box->setCurrentText(current);
    return box;
}

} // namespace

TLotDialog::TLotDialog(const TLot& lot, const QStringList& objects, const QStringList& materials,
                       const TextLookup& text, std::function<QString(const TLot&)> save, QWidget* parent)
    : QDialog(parent), lot_(lot), save_(std::move(save)) {
    setObjectName(QStringLiteral("ArchiveLotDialog"));
    setWindowTitle(
        text(lot.Id == 0 ? QStringLiteral("ArchiveLotNewTitle") : QStringLiteral("ArchiveLotEditTitle")));
    Name = new QLineEdit(lot.Name, this);
    Name->setMaxLength(200);
    Object = NameChoice(objects, lot.Object, this);
    Material = NameChoice(materials, lot.Material, this);
    Layer = new QLineEdit(lot.Layer, this);
    Notes = new QPlainTextEdit(lot.Notes, this);
    Notes->setTabChangesFocus(true);
    Notes->setFixedHeight(Notes->fontMetrics().lineSpacing() * 4 + 12);
    Problem = new QLabel(this);
    Problem->setWordWrap(true);
    Problem->setStyleSheet(QStringLiteral("color: #b00000"));
    Problem->hide();
    Buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    Buttons->button(QDialogButtonBox::Ok)->setText(text(QStringLiteral("ArchiveLotSave")));
    Buttons->button(QDialogButtonBox::Cancel)->setText(text(QStringLiteral("ArchiveLotCancel")));

    auto* form = new QFormLayout;
    form->addRow(text(QStringLiteral("ArchiveLotName")), Name);
    form->addRow(text(QStringLiteral("ArchiveLotObject")), Object);
    form->addRow(text(QStringLiteral("ArchiveLotMaterial")), Material);
    form->addRow(text(QStringLiteral("ArchiveLotLayer")), Layer);
    form->addRow(text(QStringLiteral("ArchiveLotNotes")), Notes);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(Problem);
    layout->addWidget(Buttons);
    connect(Buttons, &QDialogButtonBox::accepted, this, &TLotDialog::accept);
    connect(Buttons, &QDialogButtonBox::rejected, this, &TLotDialog::reject);

    Describe(Name, text(QStringLiteral("ArchiveLotNameHint")));
    Describe(Object, text(QStringLiteral("ArchiveLotObjectHint")));
    Describe(Material, text(QStringLiteral("ArchiveLotMaterialHint")));
    Describe(Layer, text(QStringLiteral("ArchiveLotLayerHint")));
    Describe(Notes, text(QStringLiteral("ArchiveLotNotesHint")));
    Describe(Buttons->button(QDialogButtonBox::Ok), text(QStringLiteral("ArchiveLotSaveHint")));
    Describe(Buttons->button(QDialogButtonBox::Cancel), text(QStringLiteral("ArchiveLotCancelHint")));
    Problem->setAccessibleName(text(QStringLiteral("ArchiveLotProblemHint")));
    resize(420, sizeHint().height());
    Name->setFocus();
}

TLot TLotDialog::Lot() const {
    TLot lot = lot_;
    lot.Name = Name->text().trimmed();
    lot.Object = Object->currentText().trimmed();
    lot.Material = Material->currentText().trimmed();
    lot.Layer = Layer->text().trimmed();
    lot.Notes = Notes->toPlainText();
    return lot;
}

void TLotDialog::accept() {
    const QString problem = save_ ? save_(Lot()) : QString();
    if (!problem.isEmpty()) {
        Problem->setText(problem);
        Problem->show();
        Name->setFocus();
        Name->selectAll();
        return;
    }
    QDialog::accept();
}

} // namespace lum1
