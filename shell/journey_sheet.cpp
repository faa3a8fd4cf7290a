#include "shell/journey_sheet.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <array>

#include "browse/mood_journey.h"
#include "library/mac_roman_qt.h"
#include "library/mood.h"
#include "shell/app_state.h"
#include "shell/commands.h"
#include "shell/list_commands.h"
#include "shell/main_window.h"
#include "shell/menu_table.h"
#include "shell/notices.h"
#include "shell/platform_texts.h"
#include "shell/qt_menu_bar.h"

namespace harmovia {
namespace {

constexpr std::array<int16_t, 3> kMenusOffWhileOpen = {kFileMenu, kPlaylistsMenu, kPlayerMenu};
constexpr int kDefaultTunes = 20;
constexpr int kDefaultMinutes = 60;

void SetMenus(App& app, int state) {
    for (const int16_t menu : kMenusOffWhileOpen) {
        app.menus->SetMenuItem(menu, 0, state);
    }
}

// A label's mnemonic where menus take one.
QString Mnemonic(const QString& text) {
    return kMacPlatform ? text : QLatin1Char('&') + text;
}

template <typename Widget>
Widget* Named(Widget* widget, int32_t id, const QString& accessibleName) {
    widget->setObjectName(QStringLiteral("control%1").arg(id));
    widget->setAccessibleName(accessibleName);
    return widget;
}

QComboBox* MoodBox(QWidget* parent, int32_t id, const QString& name, int mood) {
    auto* box = Named(new QComboBox(parent), id, name);
    for (int m = 1; m <= kMoodCount; ++m) {
        box->addItem(FromMacRoman(MoodTable[static_cast<size_t>(m)].name));
    }
    box->setCurrentIndex(mood - 1);
    return box;
}

}  // namespace

JourneySheet::JourneySheet(App& app) : app_(app) {
    SetMenus(app, kItemDisabled);
    sheet_ = new QDialog(app.window.get(), Qt::Sheet);
    sheet_->setObjectName(QStringLiteral("window%1").arg(kJourneySheetWindow));
    sheet_->setWindowModality(Qt::WindowModal);
    sheet_->setWindowTitle(QStringLiteral("Mood Journey"));
    auto* form = new QFormLayout(sheet_);
    auto* prompt = new QLabel(
        QStringLiteral("The tunes move step by step from one mood to the other."), sheet_);
    prompt->setWordWrap(true);
    form->addRow(prompt);

    from_ = MoodBox(sheet_, kJourneyFromBox, QStringLiteral("From mood"), 1);
    to_ = MoodBox(sheet_, kJourneyToBox, QStringLiteral("To mood"), kMoodCount);
    form->addRow(Mnemonic(QStringLiteral("From:")), from_);
    form->addRow(Mnemonic(QStringLiteral("To:")), to_);

    length_ = Named(new QSpinBox(sheet_), kJourneyLengthField, QStringLiteral("Length"));
    length_->setRange(1, kMaxJourneyCount);
    length_->setValue(kDefaultTunes);
    unit_ = Named(new QComboBox(sheet_), kJourneyUnitBox, QStringLiteral("Length in"));
    unit_->addItems({QStringLiteral("tunes"), QStringLiteral("minutes")});
    QSpinBox* length = length_;
    QObject::connect(unit_, &QComboBox::currentIndexChanged, sheet_, [length](int index) {
        length->setRange(1, index == 1 ? kMaxJourneyMinutes : kMaxJourneyCount);
        length->setValue(index == 1 ? kDefaultMinutes : kDefaultTunes);
    });
    auto* lengthRow = new QHBoxLayout;
    lengthRow->addWidget(length_);
    lengthRow->addWidget(unit_);
    form->addRow(Mnemonic(QStringLiteral("Length:")), lengthRow);
    if (auto* label = qobject_cast<QLabel*>(form->labelForField(lengthRow))) {
        label->setBuddy(length_);
    }

    endless_ = Named(new QCheckBox(Mnemonic(QStringLiteral("Endless")), sheet_), kJourneyEndlessBox,
                     QStringLiteral("Endless"));
    endless_->setToolTip(
        QStringLiteral("When the journey nears its end, it goes on with fresh tunes along the "
                       "same path, back and forth."));
    form->addRow(QString(), endless_);

    auto* buttons = new QDialogButtonBox(sheet_);
    auto* cancel = Named(buttons->addButton(QDialogButtonBox::Cancel), kJourneyCancelButton,
                         QStringLiteral("Cancel"));
    auto* ok =
        Named(buttons->addButton(QDialogButtonBox::Ok), kJourneyOkButton, QStringLiteral("OK"));
    ok->setDefault(true);
    form->addRow(buttons);
    QObject::connect(ok, &QPushButton::clicked, sheet_,
                     [&app] { HandleControlEvent(app, ControlEventKind::Hit, kJourneyOkButton); });
    QObject::connect(cancel, &QPushButton::clicked, sheet_, [&app] {
        HandleControlEvent(app, ControlEventKind::Hit, kJourneyCancelButton);
    });
    // Escape is Cancel, through the same door.
    QObject::connect(sheet_, &QDialog::rejected, sheet_, [&app] {
        HandleControlEvent(app, ControlEventKind::Hit, kJourneyCancelButton);
    });
    sheet_->show();
    from_->setFocus();
}

JourneySheet::~JourneySheet() {
    CloseSheetLater(sheet_);
}

JourneyRequest JourneySheet::Request(uint32_t seed) const {
    JourneyRequest request;
    request.FromMood = static_cast<int16_t>(from_->currentIndex() + 1);
    request.ToMood = static_cast<int16_t>(to_->currentIndex() + 1);
    (unit_->currentIndex() == 1 ? request.Minutes : request.Count) = length_->value();
    request.Seed = seed;
    request.Endless = endless_->isChecked();
    return request;
}

void MoodJourneyCommand(App& app) {
    if (!HasTunes(app) || app.journey) {
        return;
    }
    app.journey = std::make_unique<JourneySheet>(app);
}

void JourneySheetOk(App& app) {
    if (!app.journey) {
        return;
    }
    const JourneyRequest request = app.journey->Request(app.random.Next31());
    CloseJourneySheet(app);
    if (ShowJourney(*app.view, *app.library, request, *app.clock, *app.notices)) {
        StopForNewList(app);
        ShowNewList(app, true);
    }
}

void CloseJourneySheet(App& app) {
    if (!app.journey) {
        return;
    }
    app.journey.reset();
    SetMenus(app, kItemEnabled);
}

}  // namespace harmovia
