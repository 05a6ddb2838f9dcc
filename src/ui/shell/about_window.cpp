#include "ui/shell/about_window.h"

#include "ui/kit/app_theme.h"
#include "ui/kit/panels.h"
#include "ui/kit/symbols.h"
#include "ui/kit/text_styles.h"
#include "ui/shell/project_links.h"

#include <QLabel>
#include <QRegularExpression>
#include <QUrl>
#include <QVBoxLayout>

namespace tarsik {
namespace {

QLabel* centred(const QString& text, const QFont& font, const QColor& colour) {
    auto* label = new QLabel(text);
    label->setFont(font);
    label->setAlignment(Qt::AlignCenter);
    setTextColour(label, colour);
    return label;
}

// A link that the desktop opens (mail client or browser); left out when its address is not a URL.
QLabel* link(const QString& text, const QString& address, const QFont& font) {
    const QUrl url(address, QUrl::StrictMode);
    if (!url.isValid() || url.scheme().isEmpty()) {
        return nullptr;
    }
    auto* label =
        new QLabel(QStringLiteral("<a href=\"%1\" style=\"color: %2; text-decoration: none;\">%3</a>")
                       .arg(url.toString(QUrl::FullyEncoded).toHtmlEscaped(),
                            AppTheme::accent().name(QColor::HexRgb), text.toHtmlEscaped()));
    label->setFont(font);
    label->setAlignment(Qt::AlignCenter);
    label->setTextFormat(Qt::RichText);
    label->setOpenExternalLinks(true);
    label->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    label->setToolTip(url.toString());
    return label;
}

// Line breaking may split a word after "/" or "-" ("nlohmann/" above "json"); a word joiner
// after each keeps every word whole, so the line breaks only at spaces.
QString withWordsWhole(QString text) {
    static const QRegularExpression joints(QStringLiteral("([/-])"));
    return text.replace(joints, QStringLiteral("\\1\u2060"));
}

} // namespace

AboutWindowContent::AboutWindowContent(QWidget* parent) : QWidget(parent) {
    auto* tile = new OutlinedBox(AppTheme::control(), AppTheme::borderStrong());
    tile->setFixedSize(74, 74);
    auto* tileLayout = new QVBoxLayout(tile);
    tileLayout->setContentsMargins(0, 0, 0, 0);
    tileLayout->addWidget(new SymbolView(QStringLiteral("display.and.arrow.down"), 34, AppTheme::accent()), 0,
                          Qt::AlignCenter);

    auto* names = new QVBoxLayout;
    names->setSpacing(2);
    names->addWidget(centred(QStringLiteral("Tarsik"), systemFont(28, QFont::Bold), AppTheme::textPrimary()));
    names->addWidget(centred(QStringLiteral("GPU & Graphics Information Utility"),
                             textFont(TextStyle::Headline), AppTheme::textSecondary()));

    auto* credits = new QVBoxLayout;
    credits->setSpacing(4);
    credits->addWidget(centred(QString::fromUtf8(ProjectLinks::authorCreditLine),
                               textFont(TextStyle::Body, QFont::DemiBold), AppTheme::textPrimary()));
    for (auto* item : {link(QString::fromUtf8(ProjectLinks::contactEmail),
                            QString::fromUtf8(ProjectLinks::contactURL), textFont(TextStyle::Body)),
                       link(QStringLiteral("PayPal Donate"), QString::fromUtf8(ProjectLinks::donationPage),
                            textFont(TextStyle::Body, QFont::DemiBold))}) {
        if (item != nullptr) {
            credits->addWidget(item);
        }
    }
    credits->addWidget(centred(QStringLiteral("Created for local macOS GPU diagnostics."),
                               textFont(TextStyle::Caption), AppTheme::textSecondary()));
    auto* creditsLine =
        centred(withWordsWhole(QStringLiteral(
                    "Credits: Linux sysfs, DRM and hwmon, NVML, pci.ids and amdgpu.ids, Qt 6, "
                    "QCoro, nlohmann/json, tarsik-profiler, CMake, Ninja and GCC. No third-party "
                    "update framework is bundled.")),
                textFont(TextStyle::Caption2), AppTheme::textTertiary());
    creditsLine->setObjectName(QStringLiteral("credits"));
    creditsLine->setWordWrap(true);
    credits->addWidget(creditsLine);

    auto* background = new MetallicBackgroundView;
    auto* column = new QVBoxLayout(background);
    column->setContentsMargins(20, 20, 20, 20);
    column->setSpacing(14);
    column->addStretch(1);
    column->addWidget(tile, 0, Qt::AlignHCenter);
    column->addLayout(names);
    column->addLayout(credits);
    column->addStretch(1);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(background);
}

} // namespace tarsik
