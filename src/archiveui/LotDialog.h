#pragma once
// A lot's name, object, mix (material), layer and notes, for a new lot or a change of one.
// The store decides what is wrong (an empty name, a name taken): the dialog shows its message
// and stays open until the lot is saved or the user cancels.

#include "archive/ArchiveLots.h"

#include <QDialog>

#include <functional>

class QComboBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace lum1 {

class TLotDialog : public QDialog {
    Q_OBJECT
public:
    using TextLookup = std::function<QString(const QString& key)>;
    // save: stores the lot; returns the message to show, empty when it was saved.
    TLotDialog(const TLot& lot, const QStringList& objects, const QStringList& materials,
               const TextLookup& text, std::function<QString(const TLot&)> save, QWidget* parent = nullptr);

    TLot Lot() const;

    QLineEdit* Name;
    QComboBox* Object;
    QComboBox* Material;
    QLineEdit* Layer;
    QPlainTextEdit* Notes;
    QLabel* Problem;
    QDialogButtonBox* Buttons;

    void accept() override;

private:
    TLot lot_;
    std::function<QString(const TLot&)> save_;
};

} // namespace lum1
