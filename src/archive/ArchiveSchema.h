#pragma once
// The archive's schema and its migrations. The schema carries its version (table
// archive_info, name 'schema_version'); opening an archive applies every migration above its
// version in order, each in one transaction, so an archive of any earlier version of the
// program opens. A new version of the schema is one more entry at the end of the list.

#include "archive/Archive.h"

#include <QString>

#include <span>
#include <vector>

namespace lum1 {

struct TMigration {
    int Version;
    // Statements in a dialect both engines understand; {id}, {key}, {blob} and {real} stand
    // for the column types that differ (see ForEngine).
    std::vector<const char*> Statements;
};

std::span<const TMigration> ArchiveMigrations();
int CurrentSchemaVersion();

// A statement with the engine's column types in place of {id}, {key}, {blob} and {real}.
QString ForEngine(const char* statement, TArchiveEngine engine);

// Brings an open archive up to `version`, creating the schema in an empty one. Concurrent
// openers wait for each other (SQLite's write lock, an advisory lock on PostgreSQL), so the
// schema is created once. Foreign: the database holds tables of some other program;
// NewerSchema: its version is above `version`; nothing is changed then.
TArchiveError MigrateArchive(TArchive& archive, int version = CurrentSchemaVersion());

// The version of an open archive's schema; 0 for an empty database, -1 for a foreign one.
int ReadSchemaVersion(TArchive& archive, TArchiveError* error = nullptr);

} // namespace lum1
