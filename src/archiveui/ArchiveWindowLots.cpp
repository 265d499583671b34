// The archive window's lot commands: they act on the current lot and the chosen records.
#include "archiveui/ArchiveWindow.h"

#include "archiveui/LotDialog.h"

#include <QComboBox>
#include <QLineEdit>

#include <algorithm>

namespace lum1 {

QString TfrmArchive::LotProblemText(const TLotResult& result, const QString& name) const {
    switch (result.Problem) {
    case TLotProblem::None:
        return {};
    case TLotProblem::EmptyName:
        return Extra("ArchiveLotNameEmpty");
    case TLotProblem::NameTaken:
        return Extra("ArchiveLotNameTaken").arg(name);
    case TLotProblem::NotFound:
        return Extra("ArchiveLotNotFound");
    case TLotProblem::ArchiveFailed:
        return ErrorText(result.Error);
    case TLotProblem::BadLimits:
        return Extra("AccBadLimits");
    }
    return {};
}

void TfrmArchive::NewLot() {
    TArchive* archive = OpenArchive();
    if (!archive)
        return;
    // A new lot takes the object and material the filter is looking at.
    TLot lot;
    lot.Object = ObjectFilter->currentText().trimmed();
    lot.Material = MaterialFilter->currentText().trimmed();
    qint64 created = 0;
    TLotDialog dialog(
        lot, ObjectNames(*archive), MaterialNames(*archive),
        [this](const QString& key) { return context_.Extra(key); },
        [this, &created](const TLot& l) {
            TArchive* a = OpenArchive();
            if (!a)
                return ErrorText(NotOpenError());
            const TLotResult r = CreateLot(*a, l);
            created = r.Id;
            return LotProblemText(r, l.Name);
        },
        this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    FillLots();
    SetCurrentLot(created);
    Tell(Extra("ArchiveLotCreated").arg(dialog.Lot().Name));
}

void TfrmArchive::EditLot() {
    const qint64 id = CurrentLotId();
    TArchive* archive = id ? OpenArchive() : nullptr;
    if (!archive)
        return;
    const std::optional<TLot> lot = FindLot(*archive, id);
    if (!lot) {
        Warn(archive->LastError() ? ErrorText(archive->LastError()) : Extra("ArchiveLotNotFound"));
        FillLots();
        return;
    }
    TLotDialog dialog(
        *lot, ObjectNames(*archive), MaterialNames(*archive),
        [this](const QString& key) { return context_.Extra(key); },
        [this](const TLot& l) {
            TArchive* a = OpenArchive();
            if (!a)
                return ErrorText(NotOpenError());
            return LotProblemText(UpdateLot(*a, l), l.Name);
        },
        this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    FillLots();
    SetCurrentLot(id);
    Tell(Extra("ArchiveLotChanged").arg(dialog.Lot().Name));
}

void TfrmArchive::DeleteLot() {
    const qint64 id = CurrentLotId();
    if (id == 0)
        return;
    const auto it = std::find_if(lots_.begin(), lots_.end(), [id](const TLot& l) { return l.Id == id; });
    const QString name = CurrentLot->currentText();
    const qint64 records = it != lots_.end() ? it->Records : 0;
    if (Ask(Extra("ArchiveLotDeleteAsk").arg(name).arg(records), MsgButtons::YesNo) != MsgResult::Yes)
        return;
    TArchive* archive = OpenArchive();
    if (!archive)
        return;
    const TLotResult r = ::lum1::DeleteLot(*archive, id);
    if (!r.Ok()) {
        Warn(LotProblemText(r, name));
    } else {
        Tell(Extra("ArchiveLotDeleted").arg(name));
    }
    FillLots();
    ApplyFilter();
}

void TfrmArchive::AssignChosenToLot() {
    const qint64 lot = CurrentLotId();
    if (lot == 0)
        return;
    const QString name = CurrentLot->currentText();
    const std::optional<std::vector<TArchiveRow>> rows = ChosenRows(MaxLotChange, false);
    TArchive* archive = rows ? OpenArchive() : nullptr;
    if (!archive)
        return;
    std::vector<qint64> ids;
    ids.reserve(rows->size());
    for (const TArchiveRow& row : *rows)
        ids.push_back(row.Id);
    const qint64 elsewhere = CountInOtherLots(*archive, ids, lot);
    if (archive->LastError()) {
        Report(archive->LastError());
        return;
    }
    if (elsewhere > 0 &&
        Ask(Extra("ArchiveLotMoveAsk").arg(elsewhere).arg(name), MsgButtons::YesNo) != MsgResult::Yes)
        return;
    const TLotResult r = AssignToLot(*archive, ids, lot);
    if (!r.Ok()) {
        Warn(LotProblemText(r, name));
        FillLots();
        return;
    }
    FillLots();
    ApplyFilter();
    Tell(Extra("ArchiveLotAssigned").arg(name).arg(r.Assigned).arg(r.Moved));
}

void TfrmArchive::ReleaseChosen() {
    const std::optional<std::vector<TArchiveRow>> rows = ChosenRows(MaxLotChange, false);
    TArchive* archive = rows ? OpenArchive() : nullptr;
    if (!archive)
        return;
    std::vector<qint64> ids;
    for (const TArchiveRow& row : *rows)
        if (row.Lot != NoLot)
            ids.push_back(row.Id);
    const TLotResult r = ids.empty() ? TLotResult{} : AssignToLot(*archive, ids, NoLot);
    if (!r.Ok()) {
        Warn(LotProblemText(r, QString()));
        return;
    }
    FillLots();
    ApplyFilter();
    Tell(Extra("ArchiveLotReleased").arg(ids.size()));
}

} // namespace lum1
