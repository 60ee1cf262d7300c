#include "workbook/package_relationships.h"

#include <QDir>
#include <QXmlStreamReader>

namespace gradecast {

using namespace Qt::StringLiterals;

QString ResolvePartName(const QString &sourcePart, const QString &target)
{
    if (target.startsWith(u'/'))
        return QDir::cleanPath(target).mid(1);
    const qsizetype slash = sourcePart.lastIndexOf(u'/');
    const QString folder = slash < 0 ? QString() : sourcePart.left(slash + 1);
    return QDir::cleanPath(folder + target);
}

Relationships ReadRelationships(ZipParts &zip, const QString &part)
{
    const qsizetype slash = part.lastIndexOf(u'/');
    const QString relsName = part.left(slash + 1) + "_rels/"_L1 + part.mid(slash + 1) + ".rels"_L1;
    Relationships relationships;
    if (!zip.contains(relsName))
        return relationships;
    const auto device = zip.open(relsName);
    QXmlStreamReader xml(device.get());
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != u"Relationship")
            continue;
        const QXmlStreamAttributes attributes = xml.attributes();
        // External targets (links to web pages) are no parts of the package.
        if (attributes.value("TargetMode"_L1) == u"External")
            continue;
        relationships[attributes.value("Id"_L1).toString()] = {
            attributes.value("Type"_L1).toString(),
            ResolvePartName(part, attributes.value("Target"_L1).toString())};
    }
    if (xml.hasError())
        device->refuse();
    return relationships;
}

const Relationship *FindRelationship(const Relationships &relationships, QStringView typeName)
{
    for (const auto &[id, relationship] : relationships) {
        if (relationship.type.endsWith(typeName)
            && relationship.type.chopped(typeName.size()).endsWith(u'/'))
            return &relationship;
    }
    return nullptr;
}

} // namespace gradecast
