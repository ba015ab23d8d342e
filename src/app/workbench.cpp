#include "app/workbench.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <cmath>

#include "app/optionsdialog.h"
#include "components/branch.h"
#include "components/components.h"
#include "components/valuedialogs.h"
#include "diagrams/loopdialogs.h"
#include "diagrams/nfcont.h"
#include "graphics/labels.h"
#include "graphics/primitives.h"
#include "io/classes.h"
#include "io/documentfile.h"
#include "platform/canvas.h"
#include "power/catalogue.h"

namespace qv {

namespace {

/// Registers one object of each class with `doc`'s numbering, in this order.
template <class... T> void registerForNumbering(FizDisp& doc) {
    (doc.registerClass(std::make_unique<T>().get()), ...);
}

} // namespace

Workbench::Workbench(const QString& homeDir) : homeDir_(homeDir) {
    registerSchemeClasses();
    if (homeDir_.isEmpty())
        homeDir_ =
            QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath();
    if (!homeDir_.endsWith('/')) homeDir_ += '/';
    context_.pictureCounter = 0;
    vectorDoc_ = std::make_unique<NLayerFDisp>(&context_);
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
    scheme_->catalogue = &powerCatalogues(context_).voltageClasses;
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
    // The scheme's labels refer to the label document; let the scheme go first.
    scheme_.reset();
    vectorDoc_.reset();
    labelDoc_.reset();
}

void Workbench::setCaptionForFile(const QString& path) {
    caption_ = QFileInfo(path).fileName() + QStringLiteral(" - ") + applicationTitle();
}

void Workbench::setCaptionNew() {
    caption_ = QStringLiteral("NewShem - ") + applicationTitle();
}

bool Workbench::showOptions() {
    auto& dlg = context_.dialog<OptionsDialog>();
    dlg.load(*scheme_);
    if (!context_.presenter()->exec(dlg)) return false;
    dlg.store(*scheme_);
    return true;
}

bool Workbench::openScheme(const QString& path, QString* error) {
    IoStatus status = loadDocumentFile(*scheme_, path);
    if (!status) {
        if (error) *error = status.error;
        return false;
    }
    modified = false;
    return true;
}

bool Workbench::saveScheme(const QString& path, QString* error) {
    IoStatus status = saveDocumentFile(*scheme_, path);
    if (!status && error) *error = status.error;
    return bool(status);
}

void Workbench::setAllArrows(bool show) {
    qv::setAllArrows(*scheme_, show);
}

bool Workbench::evaluate(const std::string& expression, Extended& value, QString& error) {
    try {
        value = context_.service<komproc>().evaluate(expression);
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
    qv::showLoopsList(*scheme_);
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

void Workbench::paintScheme(QPainter& painter, QSize size) {
    double z = double(zoom) > 0 ? double(zoom) : 1.0;
    scheme_->viewLeft = scrollX;
    scheme_->viewTop = scrollY;
    scheme_->viewRight = scrollX + int32_t(std::ceil(size.width() / z));
    scheme_->viewBottom = scrollY + int32_t(std::ceil(size.height() / z));
    painter.save();
    painter.fillRect(QRect(QPoint(0, 0), size), toQColor(scheme_->backColor));
    painter.scale(z, z);
    painter.translate(-scrollX, -scrollY);
    Canvas canvas(&painter);
    scheme_->paint(&canvas);
    painter.restore();
}

} // namespace qv
