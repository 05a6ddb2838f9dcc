#include "ui/shell/help_window.h"

#include "ui/kit/app_theme.h"
#include "ui/kit/panels.h"
#include "ui/kit/symbols.h"
#include "ui/kit/text_styles.h"
#include "ui/tabs/help_view.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace tarsik {

HelpWindowContent::HelpWindowContent(QWidget* parent) : QWidget(parent) {
    auto* titles = new QVBoxLayout;
    titles->setSpacing(3);
    titles->addWidget(themedLabel(QStringLiteral("Tarsik Help"), textFont(TextStyle::Title2, QFont::Bold),
                                  AppTheme::textPrimary()));
    titles->addWidget(themedLabel(QStringLiteral("GPU and graphics information utility for macOS"),
                                  textFont(TextStyle::Subheadline), AppTheme::textSecondary()));
    auto* panel = new MetallicPanel;
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(16, 16, 16, 16);
    row->setSpacing(10);
    row->addWidget(new SymbolView(QStringLiteral("questionmark.circle.fill"), 34, AppTheme::accent(), 40));
    row->addLayout(titles, 1);

    auto* help = new QWidget;
    auto* helpLayout = new QVBoxLayout(help);
    helpLayout->setContentsMargins(14, 14, 14, 14);
    helpLayout->addWidget(new HelpView);

    auto* background = new MetallicBackgroundView;
    auto* stack = new QVBoxLayout(background);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(0);
    stack->addWidget(panel);
    stack->addWidget(help, 1);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(background);
}

} // namespace tarsik
