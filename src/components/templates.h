#pragma once
// Element templates: the drawing of each kind of component and of the ground, along the axis
// from (0, 0) to (ElementLength, 0), kept in element files in the program's folder.
#include <QString>
#include <memory>
#include <string>
#include <vector>

namespace qv {

class FizDisp;
class NFGroundObj;
class NUniSetObj;

struct ElementTemplate {
    const char* className; ///< the component class ("NUniRes"), or "NFGroundObj"
    const char* fileName;  ///< its element file in the program's folder
};

/// Every element template, one per component kind and the ground.
const std::vector<ElementTemplate>& elementTemplates();
/// The element file of a class; empty when the class has none.
QString templateFileFor(const std::string& className);

/// Draws the template of `className` into `doc` (which must be empty) and sets its length.
/// False for a class without a template.
bool buildTemplate(const std::string& className, FizDisp& doc);

/// Reads the element file of `className` from `homeDir` into `doc`. False with `error` set
/// when the file is missing or damaged.
bool loadTemplate(const std::string& className, const QString& homeDir, FizDisp& doc, QString* error);

/// A new component of `className` whose symbol is copied from its element file; null with
/// `error` set when the template cannot be read.
std::unique_ptr<NUniSetObj> createComponent(const std::string& className, const QString& homeDir,
                                            FizDisp* owner, QString* error);
/// A new ground whose symbol is copied from its element file.
std::unique_ptr<NFGroundObj> createGround(const QString& homeDir, FizDisp* owner, QString* error);

} // namespace qv
