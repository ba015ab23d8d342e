#include "app/circuitcommands.h"

#include "app/netlistimport.h"
#include "app/workbench.h"
#include "diagrams/loop.h"
#include "diagrams/loopfinder.h"
#include "model/context.h"

namespace qv {

bool importNetlistCommand(Workbench& wb, const QString& path, QStringList& problems) {
    wb.cancelEditing();
    if (!importNetlistFile(wb.scheme(), path, problems)) return false;
    // One step of the history: the scheme it replaced is an Undo away, and the imported one
    // counts as not saved.
    wb.commit(QCoreApplication::translate("qv::Message", "Import SPICE netlist"));
    wb.operatingPoint().clear(); // the values belonged to the scheme the import replaced
    return true;
}

bool exportNetlistCommand(Workbench& wb, const QString& path, QString& error) {
    wb.cancelEditing();
    return exportNetlistFile(wb.scheme(), path, error);
}

bool findLoopsCommand(Workbench& wb) {
    wb.cancelEditing();
    NTBEFizDisp& doc = wb.scheme();
    Messages& messages = *wb.context().messages();
    // The loops found take names from the numbering; a set not taken gives them back.
    std::vector<int32_t> counters;
    for (const NClassInf& c : doc.classes())
        counters.push_back(c.counter);
    FoundLoops found = findLoops(doc);
    if (!found.error.empty()) {
        messages.show(QString::fromStdString(found.error), kFindLoopsCaption, MsgButtons::Ok,
                      MsgIcon::Warning);
        return false;
    }
    if (found.loops.empty()) {
        doc.restoreClassCounters(counters);
        messages.show(QCoreApplication::translate(
                          "qv::Message", "The scheme has no loops: every branch could be taken away without "
                                         "parting two nodes."),
                      kFindLoopsCaption, MsgButtons::Ok, MsgIcon::Information);
        return false;
    }
    const int old = doc.loops().count();
    if (old > 0) {
        const QString question =
            QCoreApplication::translate(
                "qv::Message", "The scheme has %1 loop(s) of its own. Replace them by the %2 loops found?")
                .arg(old)
                .arg(found.loops.size());
        if (messages.show(question, kFindLoopsCaption, MsgButtons::YesNo, MsgIcon::Information) !=
            MsgResult::Yes) {
            doc.restoreClassCounters(counters);
            return false;
        }
    }
    replaceLoops(doc, found);
    wb.commit(kFindLoopsCaption);
    if (!found.notes.empty()) {
        QStringList notes;
        for (const std::string& n : found.notes)
            notes << QString::fromStdString(n);
        messages.show(notes.join('\n'), kFindLoopsCaption, MsgButtons::Ok, MsgIcon::Warning);
    }
    return true;
}

bool putFoundLoops(Workbench& wb, QStringList& notes, QString& error) {
    FoundLoops found = findLoops(wb.scheme());
    for (const std::string& n : found.notes)
        notes << QString::fromStdString(n);
    if (!found.error.empty()) {
        error = QString::fromStdString(found.error);
        return false;
    }
    replaceLoops(wb.scheme(), found);
    return true;
}

} // namespace qv
