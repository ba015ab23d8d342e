#pragma once
// Element templates: the drawing of each kind of component and of the ground, along the axis
// from (0, 0) to (ElementLength, 0), kept in element files compiled into the programs.
#include <QByteArray>
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
    const char* fileName;  ///< its element file
};

/// Every element template, one per component kind and the ground.
const std::vector<ElementTemplate>& elementTemplates();
/// The element file of a class; empty when the class has none.
QString templateFileFor(const std::string& className);

/// Draws the template of `className` into `doc` (which must be empty) and sets its length.
/// False for a class without a template.
bool buildTemplate(const std::string& className, FizDisp& doc);

/// The folder of the element files compiled into the programs (":/elements").
QString builtInTemplateFolder();

/// Reads the element file of `className` from `folder` into `doc`. False with `error` set
/// when the file is missing or damaged.
bool loadTemplate(const std::string& className, FizDisp& doc, QString* error,
                  const QString& folder = builtInTemplateFolder());

/// Reads an element file's bytes into `doc` and checks that they make a usable symbol. False
/// with `doc` emptied and `error` set otherwise; `name` names the file in the message.
bool readTemplate(const QByteArray& data, const QString& name, FizDisp& doc, QString* error);

/// A new component of `className` whose symbol is copied from its element file; null with
/// `error` set when the template cannot be read.
std::unique_ptr<NUniSetObj> createComponent(const std::string& className, FizDisp* owner, QString* error,
                                            const QString& folder = builtInTemplateFolder());
/// A new ground whose symbol is copied from its element file.
std::unique_ptr<NFGroundObj> createGround(FizDisp* owner, QString* error,
                                          const QString& folder = builtInTemplateFolder());

} // namespace qv
