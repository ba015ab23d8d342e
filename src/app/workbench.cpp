#include "app/workbench.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <cmath>

#include "app/optionsdialog.h"
#include "diagrams/loopdialogs.h"
#include "platform/canvas.h"

namespace qv {

Workbench::Workbench(const QString& homeDir) : homeDir_(homeDir) {
    if (homeDir_.isEmpty())
        homeDir_ = QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath();
    if (!homeDir_.endsWith('/')) homeDir_ += '/';
    context_.pictureCounter = 0;
    vectorDoc_ = std::make_unique<NLayerFDisp>(&context_);
    scheme_ = std::make_unique<NTBEFizDisp>(&context_);
    scheme_->homeDir = homeDir_;
    labelDoc_ = std::make_unique<FizDisp>(&context_);
    scheme_->labelDocument = labelDoc_.get();
    scheme_->drawColor = 0;
    for (const std::string& name : startupClasses()) scheme_->registerClassName(name);
}

Workbench::~Workbench() {
    // The scheme's labels refer to the label document; let the scheme go first.
    scheme_.reset();
    vectorDoc_.reset();
    labelDoc_.reset();
}

const std::vector<std::string>& Workbench::startupClasses() {
    static const std::vector<std::string> names = {
        "NUniRes",    "NUniEds",    "NUniIst",       "NGrLine",     "NGrRound",          "NGrArc",
        "NFVetv",     "NFUsel",     "NTextLabel",    "NTwoBin",     "NUniInd",           "NUniCon",
        "NUniImpedance", "NUniCompEDS", "NUniCompCurSource", "NTextLabel", "NTextLabel", "NTextLabel",
        "NFCont"};
    return names;
}

void Workbench::setCaptionForFile(const QString& path) {
    caption_ = QFileInfo(path).fileName() + QStringLiteral(" - ") + applicationTitle();
}

void Workbench::setCaptionNew() { caption_ = QStringLiteral("NewShem - ") + applicationTitle(); }

bool Workbench::showOptions() {
    auto& dlg = context_.dialog<OptionsDialog>();
    dlg.load(*scheme_);
    if (!context_.presenter()->exec(dlg)) return false;
    dlg.store(*scheme_);
    return true;
}

bool Workbench::openScheme(const QString& path, QString* error) {
    if (!scheme_->loadFromFile(path, error)) return false;
    modified = false;
    return true;
}

bool Workbench::saveScheme(const QString& path, QString* error) { return scheme_->saveToFile(path, error); }

void Workbench::showLoopsList() { qv::showLoopsList(*scheme_); }

ToolVisibility Workbench::toolsForPage(Page page) {
    switch (page) {
    case Page::Scheme: return {.layers = true, .devices = true, .acDevices = true, .drawing = true, .vectorTools = false};
    case Page::Solution: return {};
    case Page::Vector: return {.vectorTools = true};
    }
    return {};
}

int Workbench::charsetForFontName(const QString& name) { return name.toUpper() == QStringLiteral("SYMBOL") ? 2 : 204; }

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
