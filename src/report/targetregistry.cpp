#include "report/targetregistry.h"

#include <QString>

#include "report/documenttarget.h"
#include "report/reportdocumenttarget.h"

namespace qv {

namespace {

std::string key(const std::string& id) {
    return QString::fromUtf8(id).toUpper().toStdString();
}

} // namespace

const std::string& reportTargetId(int option) {
    switch (option) {
    case 0:
        return kWordBasicTargetId;
    case 1:
        return kWordApplicationTargetId;
    default:
        return kOwnReportTargetId;
    }
}

void ReportTargetRegistry::add(const std::string& id, Factory factory) {
    factories_[key(id)] = std::move(factory);
}

bool ReportTargetRegistry::contains(const std::string& id) const {
    return factories_.count(key(id)) != 0;
}

std::unique_ptr<ReportTarget> ReportTargetRegistry::create(const std::string& id,
                                                           const ReportDestination& destination) const {
    const auto it = factories_.find(key(id));
    if (it == factories_.end())
        throw ReportTargetUnavailable("Cannot create the automation object \"" + id +
                                      "\": no such report target");
    std::unique_ptr<ReportTarget> target = it->second(destination);
    if (!target) throw ReportTargetUnavailable("Cannot create the automation object \"" + id + "\"");
    return target;
}

ReportTargetRegistry ReportTargetRegistry::standard() {
    ReportTargetRegistry r;
    r.add(kOwnReportTargetId, [](const ReportDestination& d) -> std::unique_ptr<ReportTarget> {
        if (d.document) return std::make_unique<ReportDocumentTarget>(*d.document);
        if (d.caret) return std::make_unique<DocumentReportTarget>(*d.caret);
        return nullptr;
    });
    for (const std::string* id : {&kWordBasicTargetId, &kWordApplicationTargetId}) {
        const std::string name = *id;
        r.add(name, [name](const ReportDestination&) -> std::unique_ptr<ReportTarget> {
            throw ReportTargetUnavailable("Cannot create the automation object \"" + name +
                                          "\": this system has no word processor automation; choose the "
                                          "internal editor in the options");
        });
    }
    return r;
}

} // namespace qv
