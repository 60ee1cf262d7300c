#pragma once

#include "workbook/zip_parts.h"

#include <QString>

#include <map>

namespace gradecast {

// The relationships of one part of an .xlsx package (its _rels/NAME.rels):
// each id's type and the part it points to, as a full name in the archive.
struct Relationship {
    QString type;
    QString part;
};
using Relationships = std::map<QString, Relationship>;

// A part without relationships has none.
Relationships ReadRelationships(ZipParts &zip, const QString &part);

// The first relationship whose type ends in "/typeName" ("worksheet",
// "sharedStrings"), whatever the version of the standard names it.
const Relationship *FindRelationship(const Relationships &relationships,
                                     QStringView typeName);

// A target as a part's name: relative to the folder of the part that points
// to it, or absolute from the package's root ("/xl/worksheets/sheet1.xml").
QString ResolvePartName(const QString &sourcePart, const QString &target);

} // namespace gradecast
