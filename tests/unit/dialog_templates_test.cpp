// The dialog layouts as data: what the window side builds the dialogs from.

#include "resources/DialogTemplates.h"

#include "surfaces/SurfaceKinds.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

std::vector<const DialogTemplate*> AllTemplates()
{
    return {&AboutDialogTemplate(), &ResolutionDialogTemplate(), &ColorDialogTemplate(),
            &ControlsHelpDialogTemplate()};
}

// Ids of the radio buttons of the group starting at firstId, in template
// order, up to the next radio button that starts a group.
std::vector<int> RadioGroup(const DialogTemplate& layout, int firstId)
{
    std::vector<int> ids;
    bool inGroup = false;
    for (std::size_t i = 0; i < layout.controlCount; ++i) {
        const ControlTemplate& c = layout.controls[i];
        if (c.kind != ControlKind::AutoRadioButton) {
            continue;
        }
        if (c.id == firstId) {
            inGroup = true;
        } else if (inGroup && (c.style & kCtlGroup)) {
            break;
        }
        if (inGroup) {
            ids.push_back(c.id);
        }
    }
    return ids;
}

}  // namespace

TEST(DialogTemplates, ControlsFitTheirDialogAndIdsAreUnique)
{
    for (const DialogTemplate* layout : AllTemplates()) {
        SCOPED_TRACE(std::string(layout->caption));
        std::set<int> ids;
        int defaultButtons = 0;
        for (std::size_t i = 0; i < layout->controlCount; ++i) {
            const ControlTemplate& c = layout->controls[i];
            SCOPED_TRACE("control " + std::to_string(i));
            EXPECT_GE(c.x, 0);
            EXPECT_GE(c.y, 0);
            EXPECT_GT(c.width, 0);
            EXPECT_GT(c.height, 0);
            EXPECT_LE(c.x + c.width, layout->width);
            EXPECT_LE(c.y + c.height, layout->height);
            if (c.id != IDC_TEMPLATE_STATIC) {
                EXPECT_TRUE(ids.insert(c.id).second) << "id " << c.id << " twice";
            }
            if (c.kind == ControlKind::DefaultPushButton) {
                ++defaultButtons;
                EXPECT_EQ(c.id, IDC_TEMPLATE_OK);
            }
            const bool needsText = c.kind != ControlKind::Edit && c.kind != ControlKind::StaticIcon;
            EXPECT_EQ(std::string(c.text).empty(), !needsText);
        }
        EXPECT_EQ(defaultButtons, 1);
    }
}

TEST(DialogTemplates, RadioIndexesAreTheStoredValues)
{
    // The index of a radio button within its group is what the dialog
    // stores, so the template order fixes the meaning of each value.
    std::vector<int> kinds;
    for (const SurfaceKindEntry& entry : kSurfaceKinds) {
        kinds.push_back(entry.radioId);
    }
    EXPECT_EQ(RadioGroup(ResolutionDialogTemplate(), IDC_KIND_MOBIUS), kinds);
    EXPECT_EQ(kinds[kFourDBottle], IDC_KIND_FOURD_BOTTLE);
    const std::vector<int> colours = RadioGroup(ColorDialogTemplate(), IDC_COLOR_RED);
    ASSERT_EQ(colours.size(), 7u);
    EXPECT_EQ(colours[5], IDC_COLOR_WHITE);
    EXPECT_EQ(colours[6], IDC_COLOR_BLACK);
}
