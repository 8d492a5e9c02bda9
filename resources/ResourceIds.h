#pragma once
// Command and control ids. The toolkit refuses ids of 32767 and above, so the
// program's own commands get ids from its own range; the standard commands
// use the toolkit's stock ids.

#include <wx/defs.h>

enum : int {
    ID_RESOLUTION = wxID_HIGHEST + 1,  // "解像度(&R)..."
    ID_CHANGE_COLOR,                   // "色の変更(&C)..."
    ID_SURFACE_VIEW,                   // the view, the frame's single pane
    ID_BACK_COLOUR,                    // "裏面を別の色で(&B)"
    ID_FOURD_COLOURS,                  // "第4座標で色分け(&W)"
    ID_AUTO_TURN,                      // "自動回転(&A)\tSpace"
    ID_MARKER,                         // "ﾏｰｶｰを一周させる(&M)"
};
// "ｱﾌﾟﾘｹｰｼｮﾝの終了(&X)" is wxID_EXIT, "Tarvo のﾊﾞｰｼﾞｮﾝ情報(&A)..." is wxID_ABOUT,
// the dialogs' OK and Cancel are wxID_OK and wxID_CANCEL.
