#pragma once
// Every text the program shows, in UTF-8. The window side turns them into
// toolkit strings with wxString::FromUTF8; nothing here depends on the
// toolkit, so the texts can be checked without a display.

#include <string>

// Application name and main window title.
inline constexpr char kStrAppTitle[] = "Tarvo";

// Main menu.
inline constexpr char kStrMenuFile[] = "ﾌｧｲﾙ(&F)";
inline constexpr char kStrMenuExit[] = "ｱﾌﾟﾘｹｰｼｮﾝの終了(&X)";
inline constexpr char kStrMenuSettings[] = "設定(&P)";
inline constexpr char kStrMenuResolution[] = "解像度(&R)...";
inline constexpr char kStrMenuChangeColor[] = "色の変更(&C)...";
inline constexpr char kStrMenuHelp[] = "ﾍﾙﾌﾟ(&H)";
inline constexpr char kStrMenuAbout[] = "Tarvo のﾊﾞｰｼﾞｮﾝ情報(&A)...";
inline constexpr char kStrMenuSavePicture[] = "画像を保存(&S)...\tCtrl+S";
inline constexpr char kStrMenuCopyPicture[] = "画像をｺﾋﾟｰ(&C)\tCtrl+C";
inline constexpr char kStrMenuView[] = "表示(&V)";
inline constexpr char kStrMenuResetView[] = "初期状態に戻す(&R)\tHome";
inline constexpr char kStrMenuFullScreen[] = "全画面表示(&F)\tF11";
// Shown for a few seconds on entering full screen.
inline constexpr char kStrFullScreenHint[] = "F11 または Esc で元に戻る";
inline constexpr char kStrMenuCoarseWhileDragging[] = "操作中は粗く描く(&D)";
inline constexpr char kStrHelpCoarseWhileDragging[] =
    "面の多い図形をﾄﾞﾗｯｸﾞしている間は粗い図形で素早く描き、ﾎﾞﾀﾝを離すと元の細かさで描きます。";
inline constexpr char kStrMenuControls[] = "操作方法(&K)...\tF1";

// About box.
inline constexpr char kStrAboutCaption[] = "Tarvoのﾊﾞｰｼﾞｮﾝ情報";
inline constexpr char kStrAboutVersion[] = "Tarvo Version 1.0";
inline constexpr char kStrAboutDescription[] = "裏表のない曲面のビューア";

// Buttons shared by the dialogs.
inline constexpr char kStrOk[] = "OK";
inline constexpr char kStrCancel[] = "ｷｬﾝｾﾙ";

// Resolution dialog.
inline constexpr char kStrResolutionCaption[] = "解像度の設定";
inline constexpr char kStrThetaLabel[] = "θ方向";
inline constexpr char kStrPhiLabel[] = "φ方向";
inline constexpr char kStrHoleRatioLabel[] = "穴の割合";
inline constexpr char kStrKindMobius[] = "メビウスの輪";
inline constexpr char kStrKindBottle[] = "Tarvoの壺";
inline constexpr char kStrKindFourDBottle[] = "四次元版Tarvoの壺";

// Colour dialog.
inline constexpr char kStrColorCaption[] = "色の指定";
inline constexpr char kStrColorRed[] = "赤";
inline constexpr char kStrColorYellow[] = "黄";
inline constexpr char kStrColorGreen[] = "緑";
inline constexpr char kStrColorGrey[] = "灰色";
inline constexpr char kStrColorLightBlue[] = "水色";
inline constexpr char kStrColorWhite[] = "白";
inline constexpr char kStrColorBlack[] = "黒";
inline constexpr char kStrTranslucent[] = "半透明";
inline constexpr char kStrWhiteBackground[] = "背景白";
inline constexpr char kStrNoBars[] = "棒無し";

// "表示" menu: the aids to seeing one-sidedness, with their help texts.
inline constexpr char kStrMenuBackColour[] = "裏面を別の色で(&B)";
inline constexpr char kStrHelpBackColour[] =
    "面の裏側を、選んだ色と見分けやすい別の色で描きます。";
inline constexpr char kStrMenuFourDColours[] = "第4座標で色分け(&W)";
inline constexpr char kStrHelpFourDColours[] =
    "面を四次元の向きで決まる第4座標で色分けします。オンの間は色の指定の色と"
    "「裏面を別の色で」は使われません。";
inline constexpr char kStrMenuAutoTurn[] = "自動回転(&A)\tSpace";
inline constexpr char kStrHelpAutoTurn[] =
    "棒の方向と第4軸の平面で図形を回し続けます。Spaceで止めたり動かしたりします。";
inline constexpr char kStrMenuMarker[] = "ﾏｰｶｰを一周させる(&M)";
inline constexpr char kStrHelpMarker[] =
    "裏表が入れ替わる輪に沿ってﾏｰｶｰを一周させます。[ と ] で少しずつ動かし、Escで消します。";

// No OpenGL window could be made: shown before the program exits.
inline constexpr char kStrNoOpenGL[] =
    "OpenGL の描画環境を用意できませんでした。Tarvo を終了します。";
// A rebuild did not get the memory it needed; the previous figure stays.
inline constexpr char kStrOutOfMemory[] =
    "メモリが足りないため、図形を作り直せませんでした。前の図形をそのまま表示します。";

// Messages of the dialogs' data exchange.
inline constexpr char kStrEnterInteger[] = "整数を入力してください。";
inline constexpr char kStrEnterNumber[] = "数字を入力してください。";

// Saving and copying the picture.
inline constexpr char kStrSaveCaption[] = "画像を保存";
inline constexpr char kStrSaveWildcard[] = "PNG 画像 (*.png)|*.png";
inline constexpr char kStrSaveDefaultName[] = "tarvo.png";
inline constexpr char kStrSaveSizeLabel[] = "大きさ:";
inline constexpr char kStrSaveSize1[] = "表示と同じ (1倍)";
inline constexpr char kStrSaveSize2[] = "2倍";
inline constexpr char kStrSaveSize4[] = "4倍";
inline constexpr char kStrPictureEmptyView[] =
    "表示領域の大きさが 0 のため、画像にするものがありません。";
inline constexpr char kStrPictureNoOffscreen[] =
    "この OpenGL 環境では、表示より大きな画像を描けません。";
inline constexpr char kStrPictureRenderFailed[] = "画像を描けませんでした。";
inline constexpr char kStrPictureOutOfMemory[] = "メモリが足りないため、画像を作れませんでした。";
inline constexpr char kStrSaveFailed[] = "画像を保存できませんでした。";
inline constexpr char kStrSaveNoFolder[] = "保存先のフォルダがありません。";
inline constexpr char kStrSaveNoPermission[] = "保存先のフォルダに書き込む権限がありません。";
inline constexpr char kStrSaveDiskFull[] = "ディスクの空きが足りません。";
inline constexpr char kStrSaveNotAFile[] =
    "その名前はファイルではない (フォルダなど) ため、置き換えられません。";
inline constexpr char kStrSaveHardLinked[] =
    "このファイルには別の名前 (ハードリンク) もあり、置き換えるとそちらが古いまま残るため、保存しませんでした。";
inline constexpr char kStrSaveWriteFailed[] = "書き込みに失敗しました";
inline constexpr char kStrSaveEncodeFailed[] = "PNG 形式に変換できませんでした。";
inline constexpr char kStrCopyFailed[] = "画像をｸﾘｯﾌﾟﾎﾞｰﾄﾞにｺﾋﾟｰできませんでした。";

// Controls help: caption, the column headings, and each gesture's or key's
// two cells (the rows themselves are resources/ControlsTable.h).
inline constexpr char kStrControlsCaption[] = "操作方法";
inline constexpr char kStrControlsInput[] = "操作";
inline constexpr char kStrControlsEffect[] = "動き";
inline constexpr char kStrCtlLeftDrag[] = "左ﾄﾞﾗｯｸﾞ";
inline constexpr char kStrCtlTurn3D[] = "三次元で回す";
inline constexpr char kStrCtlShiftLeftDrag[] = "Shift+左ﾄﾞﾗｯｸﾞ (左右)";
inline constexpr char kStrCtlTurn4DInPlane[] = "四次元で回す (棒の向きと第四の軸の平面)";
inline constexpr char kStrCtlCtrlLeftDrag[] = "Ctrl+左ﾄﾞﾗｯｸﾞ";
inline constexpr char kStrCtlTurnBarOnly[] = "棒を回す (図形はそのまま)";
inline constexpr char kStrCtlBothDrag[] = "左右両方のﾎﾞﾀﾝでﾄﾞﾗｯｸﾞ";
inline constexpr char kStrCtlMove[] = "動かす";
inline constexpr char kStrCtlRightDrag[] = "右ﾄﾞﾗｯｸﾞ (右・上へ / 左・下へ)";
inline constexpr char kStrCtlScale[] = "拡大 / 縮小";
inline constexpr char kStrCtlWheel[] = "ﾎｲｰﾙ (上へ / 下へ)";
inline constexpr char kStrCtlScaleAboutPointer[] = "ﾏｳｽの下の点を中心に拡大 / 縮小";
inline constexpr char kStrCtlArrows[] = "← → ↑ ↓";
inline constexpr char kStrCtlTurn3DByKey[] = "三次元で回す (10 ﾋﾟｸｾﾙのﾄﾞﾗｯｸﾞと同じ)";
inline constexpr char kStrCtlShiftArrows[] = "Shift+← →";
inline constexpr char kStrCtlTurn4D[] = "四次元で回す";
inline constexpr char kStrCtlCtrlArrows[] = "Ctrl+← → ↑ ↓";
inline constexpr char kStrCtlTurnBar[] = "棒を回す";
inline constexpr char kStrCtlAltArrows[] = "Alt+← → ↑ ↓";
inline constexpr char kStrCtlPlusMinus[] = "+ / −";
inline constexpr char kStrCtlHome[] = "Home";
inline constexpr char kStrCtlResetView[] = "初期状態に戻す";
inline constexpr char kStrCtlF11[] = "F11";
inline constexpr char kStrCtlFullScreen[] = "全画面表示 / 全画面表示をやめる";
inline constexpr char kStrCtlEsc[] = "Esc";
inline constexpr char kStrCtlEscape[] = "全画面表示を先にやめ、次にﾏｰｶｰを消す";
inline constexpr char kStrCtlCtrlS[] = "Ctrl+S";
inline constexpr char kStrCtlSave[] = "画像を保存";
inline constexpr char kStrCtlCtrlC[] = "Ctrl+C";
inline constexpr char kStrCtlCopy[] = "画像をｸﾘｯﾌﾟﾎﾞｰﾄﾞにｺﾋﾟｰ";
inline constexpr char kStrCtlF1[] = "F1";
inline constexpr char kStrCtlHelp[] = "この操作方法";
inline constexpr char kStrCtlSpace[] = "Space";
inline constexpr char kStrCtlAutoTurn[] = "自動回転を始める / 止める";
inline constexpr char kStrCtlBrackets[] = "[ / ]";
inline constexpr char kStrCtlStepMarker[] = "ﾏｰｶｰを少し戻す / 進める";

// The file a picture could not be written to, and why.
std::string SaveFailedMessage(const std::string& path, const std::string& reason);
// A picture larger than the OpenGL implementation draws offscreen; names
// the largest width and height it accepts.
std::string PictureTooLargeMessage(int width, int height, int largest);

// Refusal of θ and φ counts the four-dimensional bottle cannot be built
// from; names the largest product accepted.
std::string FourDBottleCountsMessage();
