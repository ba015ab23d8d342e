#include "app/workbench.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QTextDocument>
#include <cmath>
#include <numbers>

#include "app/desktopoptions.h"
#include "app/optionsdialog.h"
#include "components/branch.h"
#include "components/components.h"
#include "components/valuedialogs.h"
#include "diagrams/loop.h"
#include "diagrams/loopdialogs.h"
#include "diagrams/vectordialogs.h"
#include "graphics/labels.h"
#include "graphics/primitives.h"
#include "io/classes.h"
#include "io/documentfile.h"
#include "io/workshopfile.h"
#include "platform/canvas.h"
#include "platform/programfolders.h"
#include "power/catalogue.h"
#include "report/pendingreport.h"
#include "report/reportfile.h"
#include "report/rtf.h"
#include "solver/powerbalance.h"

namespace qv {

namespace {

/// Registers one object of each class with `doc`'s numbering, in this order.
template <class... T> void registerForNumbering(FizDisp& doc) {
    (doc.registerClass(std::make_unique<T>().get()), ...);
}

} // namespace

Workbench::Workbench(const QString& programFolder, WorkbenchUse use)
    : keepsHistory_(use == WorkbenchUse::Interactive) {
    registerSchemeClasses();
    QString program = programFolder;
    if (program.isEmpty())
        program = QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath();
    // An installed program writes into the user's data folder, never beside itself.
    homeDir_ = programFolders(program).writable;
    if (!homeDir_.isEmpty() && !homeDir_.endsWith('/')) homeDir_ += '/';
    context_.pictureCounter = 0;
    vectorDoc_ = std::make_unique<NVectDiaDisp>(&context_);
    scheme_ = std::make_unique<NTBEFizDisp>(&context_);
    scheme_->homeDir = homeDir_;
    labelDoc_ = std::make_unique<FizDisp>(&context_);
    scheme_->labelDocument = labelDoc_.get();
    scheme_->drawColor = 0;
    // The start-up order of the numbering registry; the labels come three more times.
    registerForNumbering<NUniRes, NUniEds, NUniIst, NGrLine, NGrRound, NGrArc, NFVetv, NFUsel, NTextLabel,
                         NTwoBin, NUniInd, NUniCon, NUniImpedance, NUniCompEDS, NUniCompCurSource, NTextLabel,
                         NTextLabel, NTextLabel, NFCont>(*scheme_);
    loadPowerCatalogues(context_, homeDir_, &catalogueErrors);
    schemeEditor_ = std::make_unique<Editor>(*this, *scheme_, Editor::Kind::Scheme);
    vectorEditor_ = std::make_unique<Editor>(*this, *vectorDoc_, Editor::Kind::Vector);
    undo_.setUndoLimit(200);
    resetHistory();
    scheme_->overlay = &operatingPoint_;
    operatingPoint_.currentVersion = [this] { return schemeVersion_; };
}

bool Workbench::showWireCatalogue(QString* error) {
    return editCatalogue(context_, CatalogueKind::Wires, homeDir_, error);
}

bool Workbench::showTransformerCatalogue(QString* error) {
    return editCatalogue(context_, CatalogueKind::Transformers, homeDir_, error);
}

bool Workbench::showVoltageClasses(QString* error) {
    return editCatalogue(context_, CatalogueKind::VoltageClasses, homeDir_, error);
}

Workbench::~Workbench() {
    undo_.clear();
    schemeEditor_.reset();
    vectorEditor_.reset();
    // The scheme's labels refer to the label document; let the scheme go first.
    scheme_.reset();
    vectorDoc_.reset();
    labelDoc_.reset();
}

void Workbench::setCaptionForFile(const QString& path) {
    caption_ = QFileInfo(path).fileName() + QStringLiteral(" - ") + applicationTitle();
}

void Workbench::setCaptionNew() {
    caption_ = QCoreApplication::translate("qv::Workbench", "NewShem - ") + applicationTitle();
}

bool Workbench::showOptions() {
    auto& dlg = context_.dialog<OptionsDialog>();
    dlg.load(*scheme_);
    dlg.loadAcFormat(operatingPoint_.acFormat());
    if (!context_.presenter()->exec(dlg)) return false;
    dlg.store(*scheme_);
    operatingPoint_.setAcFormat(*scheme_, dlg.acFormat());
    return true;
}

bool Workbench::isModified() const {
    return changedOutsideHistory_ || isModified(Part::Scheme) || isModified(Part::Vector) ||
           isModified(Part::Solution);
}

bool Workbench::isModified(Part part) const {
    switch (part) {
    case Part::Scheme:
        return schemeVersion_ != schemeSaved_;
    case Part::Vector:
        return vectorVersion_ != vectorSaved_;
    case Part::Solution:
        return solutionPage_ && solutionPage_->isModified();
    }
    return false;
}

void Workbench::setModified(bool modified) {
    changedOutsideHistory_ = modified;
    if (modified) return;
    for (Part part : {Part::Scheme, Part::Vector, Part::Solution})
        markSaved(part);
}

void Workbench::setSolutionPage(QTextDocument* page) {
    solutionPage_ = page;
    if (page) setWritesInSteps(*page, true);
}

void Workbench::finishSolutionPage() {
    if (solutionPage_) finishPendingReport(*solutionPage_);
}

bool Workbench::solutionPageInSteps() const {
    return solutionPage_ && hasPendingReport(*solutionPage_);
}

void Workbench::followSolutionPage(std::function<void(int, bool)> step) {
    if (solutionPage_) onPendingReportStep(*solutionPage_, std::move(step));
}

void Workbench::markUnsaved(Part part) {
    switch (part) {
    case Part::Scheme:
        schemeSaved_ = ++lastVersion_;
        break;
    case Part::Vector:
        vectorSaved_ = ++lastVersion_;
        break;
    case Part::Solution:
        if (solutionPage_) solutionPage_->setModified(true);
        break;
    }
}

void Workbench::markSaved(Part part) {
    switch (part) {
    case Part::Scheme:
        schemeSaved_ = schemeVersion_;
        break;
    case Part::Vector:
        vectorSaved_ = vectorVersion_;
        break;
    case Part::Solution:
        if (solutionPage_) solutionPage_->setModified(false);
        break;
    }
}

void Workbench::markLoaded(FizDisp& doc) {
    if (&doc == scheme_.get()) {
        schemeVersion_ = schemeSaved_ = ++lastVersion_;
        operatingPoint_.clear(); // another scheme: the values were not its own
    } else
        vectorVersion_ = vectorSaved_ = ++lastVersion_;
}

// ---- History ----

void Workbench::commit(const QString& text) {
    if (!keepsHistory_) {
        // Without the records the change cannot be told apart: both documents count as changed.
        schemeVersion_ = ++lastVersion_;
        vectorVersion_ = ++lastVersion_;
        return;
    }
    std::vector<SnapshotCommand::Change> changes;
    DocumentState scheme = captureState(*scheme_);
    if (!(scheme == schemeBase_)) {
        changes.push_back({scheme_.get(), schemeBase_, scheme, schemeVersion_, ++lastVersion_});
        schemeVersion_ = lastVersion_;
    }
    DocumentState vector = captureState(*vectorDoc_);
    if (!(vector == vectorBase_)) {
        changes.push_back({vectorDoc_.get(), vectorBase_, vector, vectorVersion_, ++lastVersion_});
        vectorVersion_ = lastVersion_;
    }
    schemeBase_ = std::move(scheme);
    vectorBase_ = std::move(vector);
    if (changes.empty()) return;
    undo_.push(new SnapshotCommand(text, std::move(changes), [this](FizDisp& doc, uint64_t version) {
        documentReplaced(doc);
        (&doc == scheme_.get() ? schemeVersion_ : vectorVersion_) = version;
    }));
}

void Workbench::setPageCanvas(Page page, Canvas* canvas) {
    pageCanvases_[page == Page::Vector] = canvas;
    scheme_->setCanvas(pageCanvases_[0]);
    labelDoc_->setCanvas(pageCanvases_[0]);
    vectorDoc_->setCanvas(pageCanvases_[1]);
}

void Workbench::documentReplaced(FizDisp& doc) {
    if (&doc == scheme_.get()) {
        schemeEditor_->forgetObjects();
        if (!schemeTicks_.empty()) scheme_->syncLayerVisibility(schemeTicks_);
        if (keepsHistory_) schemeBase_ = captureState(*scheme_);
    } else {
        vectorEditor_->forgetObjects();
        if (!vectorTicks_.empty()) vectorDoc_->syncLayerVisibility(vectorTicks_);
        if (keepsHistory_) vectorBase_ = captureState(*vectorDoc_);
    }
}

void Workbench::cancelEditing() {
    schemeEditor_->cancel();
    vectorEditor_->cancel();
}

void Workbench::undo() {
    cancelEditing();
    undo_.undo();
}

void Workbench::redo() {
    cancelEditing();
    undo_.redo();
}

void Workbench::resetHistory() {
    undo_.clear();
    documentReplaced(*scheme_);
    documentReplaced(*vectorDoc_);
}

void Workbench::setLayerTicks(Page page, const std::vector<bool>& ticks) {
    // A branch half placed already hangs on its first node; the record must not see that.
    cancelEditing();
    if (page == Page::Vector) {
        vectorTicks_ = ticks;
        vectorDoc_->syncLayerVisibility(ticks);
        if (keepsHistory_) vectorBase_ = captureState(*vectorDoc_);
    } else {
        schemeTicks_ = ticks;
        scheme_->syncLayerVisibility(ticks);
        operatingPoint_.layerVisible = ticks.size() <= kResultsLayerItem || ticks[kResultsLayerItem];
        // What a page shows is no change of the drawing: no step of its own.
        if (keepsHistory_) schemeBase_ = captureState(*scheme_);
    }
}

// ---- Files ----

void Workbench::newWorkshop() {
    cancelEditing();
    scheme_->clearRemovable();
    vectorDoc_->clearRemovable();
    workshopFile.clear();
    setCaptionNew();
    resetHistory();
    markLoaded(*scheme_);
    markLoaded(*vectorDoc_);
    setModified(false);
}

bool Workbench::openWorkshop(const QString& path, QByteArray& solution, QString* error) {
    cancelEditing();
    IoStatus status = loadWorkshopFile(*scheme_, *vectorDoc_, solution, path);
    if (!status) {
        if (error) *error = status.error;
        return false;
    }
    workshopFile = path;
    setCaptionForFile(path);
    resetHistory();
    markLoaded(*scheme_);
    markLoaded(*vectorDoc_);
    // The caller fills the Solution page and then marks it saved.
    changedOutsideHistory_ = false;
    return true;
}

bool Workbench::saveWorkshop(const QString& path, const QByteArray& solution, QString* error) {
    cancelEditing();
    IoStatus status = saveWorkshopFile(*scheme_, *vectorDoc_, solution, path);
    if (!status) {
        if (error) *error = status.error;
        return false;
    }
    workshopFile = path;
    setCaptionForFile(path);
    setModified(false);
    return true;
}

bool Workbench::openScheme(const QString& path, QString* error) {
    cancelEditing();
    IoStatus status = loadDocumentFile(*scheme_, path);
    if (!status) {
        if (error) *error = status.error;
        return false;
    }
    // The caption names the workshop, which "Save" writes; a scheme file does not change it.
    // The vector diagram and the Solution page keep their own changed state.
    resetHistory();
    markLoaded(*scheme_);
    return true;
}

bool Workbench::saveScheme(const QString& path, QString* error) {
    cancelEditing();
    IoStatus status = saveDocumentFile(*scheme_, path);
    if (!status && error) *error = status.error;
    if (status) markSaved(Part::Scheme);
    return bool(status);
}

bool Workbench::openVector(const QString& path, QString* error) {
    cancelEditing();
    IoStatus status = loadDocumentFile(*vectorDoc_, path);
    if (!status) {
        if (error) *error = status.error;
        return false;
    }
    resetHistory();
    markLoaded(*vectorDoc_);
    return true;
}

bool Workbench::createVectorDiagram() {
    cancelEditing();
    auto& dlg = context_.dialog<VectorOutputOptionsDialog>();
    dlg.ctx = &context_;
    context_.presenter()->exec(dlg);
    if (!dlg.accepted) return false;
    buildVectorDiagram(dlg.currentScale, dlg.voltageScale, dlg.makeCurrents, dlg.makeVoltages);
    commit(QCoreApplication::translate("qv::Workbench", "Create vector diagramm"));
    return true;
}

void Workbench::buildVectorDiagram(Extended currentScale, Extended voltageScale, bool currents,
                                   bool voltages) {
    cancelEditing();
    NCalcPowerBalance calc;
    calc.owner = scheme_.get();
    calc.omega = 2 * std::numbers::pi_v<Extended> * scheme_->frequency;
    vectorDoc_->currentsScale = currentScale;
    vectorDoc_->voltageScale = voltageScale;
    vectorDoc_->clearRemovable();
    vectorEditor_->forgetObjects();
    calc.voltageVectors = voltages ? 1 : 0;
    calc.currentVectors = currents ? 1 : 0;
    calc.buildVectors(*vectorDoc_);
}

bool Workbench::saveVector(const QString& path, QString* error) {
    cancelEditing();
    IoStatus status = saveDocumentFile(*vectorDoc_, path);
    if (!status && error) *error = status.error;
    if (status) markSaved(Part::Vector);
    return bool(status);
}

QByteArray Workbench::solutionRecord(const QTextDocument& page) {
    return writeRtf(page);
}

bool Workbench::readSolutionRecord(const QByteArray& bytes, QTextDocument& page, QString* error) {
    const QByteArray start = bytes.left(64).trimmed();
    if (start.startsWith("{\\rtf")) return readRtf(bytes, page, error);
    if (start.startsWith('<'))
        page.setHtml(QString::fromUtf8(bytes));
    else
        page.setPlainText(QString::fromUtf8(bytes));
    return true;
}

bool Workbench::saveSolution(const QTextDocument& page, const QString& path, QString* error) {
    return saveReport(page, path, error);
}

void Workbench::setAllArrows(bool show) {
    cancelEditing();
    qv::setAllArrows(*scheme_, show);
    commit(show ? QCoreApplication::translate("qv::Workbench", "Set all branch arrows")
                : QCoreApplication::translate("qv::Workbench", "Kill all branch arrows"));
}

bool Workbench::showDesktopOptions() {
    auto& dlg = context_.dialog<DesktopOptionsDialog>();
    dlg.load(*scheme_);
    dlg.messages = context_.messages();
    bool confirmed = context_.presenter()->exec(dlg);
    dlg.messages = nullptr;
    if (confirmed) dlg.store(*scheme_);
    return confirmed;
}

bool Workbench::evaluate(const std::string& expression, Extended& value, QString& error) {
    try {
        value = context_.service<ExpressionEvaluator>().evaluate(expression);
        return true;
    } catch (const EvalError& e) {
        error = QString::fromUtf8(e.what());
        return false;
    }
}

DialogModel& Workbench::calculator() {
    auto& dlg = expressionDialog<CalculatorDialog>(context_);
    dlg.show();
    return dlg;
}

void Workbench::showLoopsList() {
    cancelEditing();
    qv::showLoopsList(*scheme_);
    commit(QCoreApplication::translate("qv::Workbench", "Loops List"));
}

ToolVisibility Workbench::toolsForPage(Page page) {
    switch (page) {
    case Page::Scheme:
        return {.layers = true, .devices = true, .acDevices = true, .drawing = true, .vectorTools = false};
    case Page::Solution:
        return {};
    case Page::Vector:
        return {.vectorTools = true};
    }
    return {};
}

int Workbench::charsetForFontName(const QString& name) {
    return name.toUpper() == QStringLiteral("SYMBOL") ? 2 : 204;
}

void Workbench::centreVectorPage(QSize page, double pxPerCmX, double pxPerCmY) {
    long cx = std::lround(pxPerCmX), cy = std::lround(pxPerCmY);
    if (cx <= 0 || cy <= 0) return;
    vdScrollX = int32_t(-50 * std::lround(double(page.width()) / double(cx)));
    vdScrollY = int32_t(-50 * std::lround(double(page.height()) / double(cy)));
}

void Workbench::setSchemeMapping(QPainter& painter) const {
    double z = double(zoom) > 0 ? double(zoom) : 1.0;
    painter.scale(z, z);
    painter.translate(-scrollX, -scrollY);
}

void Workbench::setVectorMapping(QPainter& painter, double dpiX, double dpiY) const {
    // Window extent 1000 / c over a viewport extent of 10 pixels, c in logical pixels per cm.
    long cx = std::lround(dpiX / 2.54), cy = std::lround(dpiY / 2.54);
    long ex = std::lround(1000.0 / double(cx > 0 ? cx : 38)),
         ey = std::lround(1000.0 / double(cy > 0 ? cy : 38));
    painter.scale(10.0 / double(ex), 10.0 / double(ey));
    painter.translate(-vdScrollX, -vdScrollY);
}

void Workbench::paintVector(QPainter& painter, QSize size, double dpiX, double dpiY) {
    painter.save();
    painter.fillRect(QRect(QPoint(0, 0), size), toQColor(vectorDoc_->backgroundColor));
    setVectorMapping(painter, dpiX, dpiY);
    // The document draws its grid and axes over the rectangle the page shows.
    const QRectF shown = painter.transform().inverted().mapRect(QRectF(QPointF(0, 0), QSizeF(size)));
    vectorDoc_->viewLeft = int32_t(std::floor(shown.left()));
    vectorDoc_->viewTop = int32_t(std::floor(shown.top()));
    vectorDoc_->viewRight = int32_t(std::ceil(shown.right()));
    vectorDoc_->viewBottom = int32_t(std::ceil(shown.bottom()));
    Canvas canvas(&painter);
    vectorDoc_->paint(&canvas);
    painter.restore();
}

void Workbench::paintScheme(QPainter& painter, QSize size) {
    double z = double(zoom) > 0 ? double(zoom) : 1.0;
    scheme_->viewLeft = scrollX;
    scheme_->viewTop = scrollY;
    scheme_->viewRight = scrollX + int32_t(std::ceil(size.width() / z));
    scheme_->viewBottom = scrollY + int32_t(std::ceil(size.height() / z));
    painter.save();
    painter.fillRect(QRect(QPoint(0, 0), size), toQColor(scheme_->backColor));
    setSchemeMapping(painter);
    Canvas canvas(&painter);
    scheme_->paint(&canvas);
    painter.restore();
}

} // namespace qv
