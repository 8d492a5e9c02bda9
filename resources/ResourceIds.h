#pragma once
// Command and control ids. The toolkit refuses ids of 32767 and above, so the
// program's own commands get ids from its own range; the standard commands
// use the toolkit's stock ids.

#include <wx/defs.h>

enum : int {
    ID_RESOLUTION = wxID_HIGHEST + 1,  // "解像度(&R)..."
    ID_CHANGE_COLOR,                   // "色の変更(&C)..."
    ID_SURFACE_VIEW,                   // the view, the frame's single pane
    ID_SAVE_PICTURE,                   // "画像を保存(&S)..."
    ID_COPY_PICTURE,                   // "画像をｺﾋﾟｰ(&C)"
    ID_RESET_VIEW,                     // "初期状態に戻す(&R)"
    ID_FULL_SCREEN,                    // "全画面表示(&F)"
    ID_CONTROLS_HELP,                  // "操作方法(&K)..."
    ID_BACK_COLOUR,                    // "裏面を別の色で(&B)"
    ID_FOURD_COLOURS,                  // "第4座標で色分け(&W)"
    ID_AUTO_TURN,                      // "自動回転(&A)\tSpace"
    ID_MARKER,                         // "ﾏｰｶｰを一周させる(&M)"
    ID_COARSE_WHILE_DRAGGING,          // "操作中は粗く描く(&D)"
    ID_LANGUAGE_JAPANESE,              // "言語 / Language(&L)" → "日本語(&J)"
    ID_LANGUAGE_ENGLISH,               // "言語 / Language(&L)" → "English(&E)"
};
// "ｱﾌﾟﾘｹｰｼｮﾝの終了(&X)" is wxID_EXIT, "Tarvo のﾊﾞｰｼﾞｮﾝ情報(&A)..." is wxID_ABOUT,
// the dialogs' OK and Cancel are wxID_OK and wxID_CANCEL.
