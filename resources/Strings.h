#pragma once
// Every text the program shows, in UTF-8. The window side turns them into
// toolkit strings with wxString::FromUTF8; nothing here depends on the
// toolkit, so the texts can be checked without a display.
//
// The Japanese texts are the program's own and the message ids of its
// translations (resources/po/*.po, made from this file by xgettext): every
// string literal here is a text to translate, and each is taken in the
// language chosen at the moment it is turned into a string.

#include <string>

// Looks a message id up in the language chosen; returns the id itself when
// nothing translates it (no translator set, Japanese, or a missing entry).
std::string TranslateText(const char* id);
// The window side sets this when it chooses a language; nullptr: Japanese.
using TextTranslator = std::string (*)(const char* id);
void SetTextTranslator(TextTranslator translator);

// A text of the table: kept as its Japanese message id, translated whenever
// it is turned into a string, so a change of language reaches every text
// shown afterwards, wherever it is used.
class Text {
public:
    constexpr Text(const char* id) : id_(id) {}
    constexpr const char* Id() const { return id_; }
    operator std::string() const { return TranslateText(id_); }

private:
    const char* id_;
};

// Application name and main window title.
inline constexpr Text kStrAppTitle = "Tarvo";

// Main menu.
inline constexpr Text kStrMenuFile = "ﾌｧｲﾙ(&F)";
inline constexpr Text kStrMenuExit = "ｱﾌﾟﾘｹｰｼｮﾝの終了(&X)";
inline constexpr Text kStrMenuSettings = "設定(&P)";
inline constexpr Text kStrMenuResolution = "解像度(&R)...";
inline constexpr Text kStrMenuChangeColor = "色の変更(&C)...";
inline constexpr Text kStrMenuHelp = "ﾍﾙﾌﾟ(&H)";
inline constexpr Text kStrMenuAbout = "Tarvo のﾊﾞｰｼﾞｮﾝ情報(&A)...";
inline constexpr Text kStrMenuSavePicture = "画像を保存(&S)...\tCtrl+S";
inline constexpr Text kStrMenuCopyPicture = "画像をｺﾋﾟｰ(&C)\tCtrl+C";
inline constexpr Text kStrMenuView = "表示(&V)";
inline constexpr Text kStrMenuResetView = "初期状態に戻す(&R)\tHome";
inline constexpr Text kStrMenuFullScreen = "全画面表示(&F)\tF11";
// Shown for a few seconds on entering full screen.
inline constexpr Text kStrFullScreenHint = "F11 または Esc で元に戻る";
inline constexpr Text kStrMenuCoarseWhileDragging = "操作中は粗く描く(&D)";
inline constexpr Text kStrHelpCoarseWhileDragging =
    "面の多い図形をﾄﾞﾗｯｸﾞしている間は粗い図形で素早く描き、ﾎﾞﾀﾝを離すと元の細かさで描きます。";
inline constexpr Text kStrMenuControls = "操作方法(&K)...\tF1";

// About box.
inline constexpr Text kStrAboutCaption = "Tarvoのﾊﾞｰｼﾞｮﾝ情報";
inline constexpr Text kStrAboutVersion = "Tarvo Version 1.0";
inline constexpr Text kStrAboutDescription = "裏表のない曲面のビューア";

// Buttons shared by the dialogs.
inline constexpr Text kStrOk = "OK";
inline constexpr Text kStrCancel = "ｷｬﾝｾﾙ";

// Resolution dialog.
inline constexpr Text kStrResolutionCaption = "解像度の設定";
inline constexpr Text kStrThetaLabel = "θ方向";
inline constexpr Text kStrPhiLabel = "φ方向";
inline constexpr Text kStrHoleRatioLabel = "穴の割合";
inline constexpr Text kStrKindMobius = "メビウスの輪";
inline constexpr Text kStrKindBottle = "Tarvoの壺";
inline constexpr Text kStrKindFourDBottle = "四次元版Tarvoの壺";

// Colour dialog.
inline constexpr Text kStrColorCaption = "色の指定";
inline constexpr Text kStrColorRed = "赤";
inline constexpr Text kStrColorYellow = "黄";
inline constexpr Text kStrColorGreen = "緑";
inline constexpr Text kStrColorGrey = "灰色";
inline constexpr Text kStrColorLightBlue = "水色";
inline constexpr Text kStrColorWhite = "白";
inline constexpr Text kStrColorBlack = "黒";
inline constexpr Text kStrTranslucent = "半透明";
inline constexpr Text kStrWhiteBackground = "背景白";
inline constexpr Text kStrNoBars = "棒無し";

// "表示" menu: the aids to seeing one-sidedness, with their help texts.
inline constexpr Text kStrMenuBackColour = "裏面を別の色で(&B)";
inline constexpr Text kStrHelpBackColour =
    "面の裏側を、選んだ色と見分けやすい別の色で描きます。";
inline constexpr Text kStrMenuFourDColours = "第4座標で色分け(&W)";
inline constexpr Text kStrHelpFourDColours =
    "面を四次元の向きで決まる第4座標で色分けします。オンの間は色の指定の色と"
    "「裏面を別の色で」は使われません。";
inline constexpr Text kStrMenuAutoTurn = "自動回転(&A)\tSpace";
inline constexpr Text kStrHelpAutoTurn =
    "棒の方向と第4軸の平面で図形を回し続けます。Spaceで止めたり動かしたりします。";
inline constexpr Text kStrMenuMarker = "ﾏｰｶｰを一周させる(&M)";
inline constexpr Text kStrHelpMarker =
    "裏表が入れ替わる輪に沿ってﾏｰｶｰを一周させます。[ と ] で少しずつ動かし、Escで消します。";

// "表示" menu: the language, named so that a reader of either finds it, and
// each language under its own name.
inline constexpr Text kStrMenuLanguage = "言語 / Language(&L)";
inline constexpr Text kStrLanguageJapanese = "日本語(&J)";
inline constexpr Text kStrLanguageEnglish = "English(&E)";
// A --lang option with a language the program does not have.
inline constexpr Text kStrBadLanguageOption = "--lang には ja か en を指定してください。";

// No OpenGL window could be made: shown before the program exits.
inline constexpr Text kStrNoOpenGL =
    "OpenGL の描画環境を用意できませんでした。Tarvo を終了します。";
// A rebuild did not get the memory it needed; the previous figure stays.
inline constexpr Text kStrOutOfMemory =
    "メモリが足りないため、図形を作り直せませんでした。前の図形をそのまま表示します。";

// Messages of the dialogs' data exchange.
inline constexpr Text kStrEnterInteger = "整数を入力してください。";
inline constexpr Text kStrEnterNumber = "数字を入力してください。";

// Saving and copying the picture.
inline constexpr Text kStrSaveCaption = "画像を保存";
inline constexpr Text kStrSaveWildcard = "PNG 画像 (*.png)|*.png";
inline constexpr Text kStrSaveDefaultName = "tarvo.png";
inline constexpr Text kStrSaveSizeLabel = "大きさ:";
inline constexpr Text kStrSaveSize1 = "表示と同じ (1倍)";
inline constexpr Text kStrSaveSize2 = "2倍";
inline constexpr Text kStrSaveSize4 = "4倍";
inline constexpr Text kStrPictureEmptyView =
    "表示領域の大きさが 0 のため、画像にするものがありません。";
inline constexpr Text kStrPictureNoOffscreen =
    "この OpenGL 環境では、表示より大きな画像を描けません。";
inline constexpr Text kStrPictureRenderFailed = "画像を描けませんでした。";
inline constexpr Text kStrPictureOutOfMemory = "メモリが足りないため、画像を作れませんでした。";
inline constexpr Text kStrSaveFailed = "画像を保存できませんでした。";
inline constexpr Text kStrSaveNoFolder = "保存先のフォルダがありません。";
inline constexpr Text kStrSaveNoPermission = "保存先のフォルダに書き込む権限がありません。";
inline constexpr Text kStrSaveDiskFull = "ディスクの空きが足りません。";
inline constexpr Text kStrSaveNotAFile =
    "その名前はファイルではない (フォルダなど) ため、置き換えられません。";
inline constexpr Text kStrSaveHardLinked =
    "このファイルには別の名前 (ハードリンク) もあり、置き換えるとそちらが古いまま残るため、保存しませんでした。";
inline constexpr Text kStrSaveEncodeFailed = "PNG 形式に変換できませんでした。";
inline constexpr Text kStrCopyFailed = "画像をｸﾘｯﾌﾟﾎﾞｰﾄﾞにｺﾋﾟｰできませんでした。";

// Controls help: caption, the column headings, and each gesture's or key's
// two cells (the rows themselves are resources/ControlsTable.h).
inline constexpr Text kStrControlsCaption = "操作方法";
inline constexpr Text kStrControlsInput = "操作";
inline constexpr Text kStrControlsEffect = "動き";
inline constexpr Text kStrCtlLeftDrag = "左ﾄﾞﾗｯｸﾞ";
inline constexpr Text kStrCtlTurn3D = "三次元で回す";
inline constexpr Text kStrCtlShiftLeftDrag = "Shift+左ﾄﾞﾗｯｸﾞ (左右)";
inline constexpr Text kStrCtlTurn4DInPlane = "四次元で回す (棒の向きと第四の軸の平面)";
inline constexpr Text kStrCtlCtrlLeftDrag = "Ctrl+左ﾄﾞﾗｯｸﾞ";
inline constexpr Text kStrCtlTurnBarOnly = "棒を回す (図形はそのまま)";
inline constexpr Text kStrCtlBothDrag = "左右両方のﾎﾞﾀﾝでﾄﾞﾗｯｸﾞ";
inline constexpr Text kStrCtlMove = "動かす";
inline constexpr Text kStrCtlRightDrag = "右ﾄﾞﾗｯｸﾞ (右・上へ / 左・下へ)";
inline constexpr Text kStrCtlScale = "拡大 / 縮小";
inline constexpr Text kStrCtlWheel = "ﾎｲｰﾙ (上へ / 下へ)";
inline constexpr Text kStrCtlScaleAboutPointer = "ﾏｳｽの下の点を中心に拡大 / 縮小";
inline constexpr Text kStrCtlArrows = "← → ↑ ↓";
inline constexpr Text kStrCtlTurn3DByKey = "三次元で回す (10 ﾋﾟｸｾﾙのﾄﾞﾗｯｸﾞと同じ)";
inline constexpr Text kStrCtlShiftArrows = "Shift+← →";
inline constexpr Text kStrCtlTurn4D = "四次元で回す";
inline constexpr Text kStrCtlCtrlArrows = "Ctrl+← → ↑ ↓";
inline constexpr Text kStrCtlTurnBar = "棒を回す";
inline constexpr Text kStrCtlAltArrows = "Alt+← → ↑ ↓";
inline constexpr Text kStrCtlPlusMinus = "+ / −";
inline constexpr Text kStrCtlHome = "Home";
inline constexpr Text kStrCtlResetView = "初期状態に戻す";
inline constexpr Text kStrCtlF11 = "F11";
inline constexpr Text kStrCtlFullScreen = "全画面表示 / 全画面表示をやめる";
inline constexpr Text kStrCtlEsc = "Esc";
inline constexpr Text kStrCtlEscape = "全画面表示を先にやめ、次にﾏｰｶｰを消す";
inline constexpr Text kStrCtlCtrlS = "Ctrl+S";
inline constexpr Text kStrCtlSave = "画像を保存";
inline constexpr Text kStrCtlCtrlC = "Ctrl+C";
inline constexpr Text kStrCtlCopy = "画像をｸﾘｯﾌﾟﾎﾞｰﾄﾞにｺﾋﾟｰ";
inline constexpr Text kStrCtlF1 = "F1";
inline constexpr Text kStrCtlHelp = "この操作方法";
inline constexpr Text kStrCtlSpace = "Space";
inline constexpr Text kStrCtlAutoTurn = "自動回転を始める / 止める";
inline constexpr Text kStrCtlBrackets = "[ / ]";
inline constexpr Text kStrCtlStepMarker = "ﾏｰｶｰを少し戻す / 進める";

// Messages with values: {1}, {2} and {3} stand for them, in any order.
inline constexpr Text kStrPictureTooLarge =
    "{1} × {2} ﾋﾟｸｾﾙの画像は描けません。この OpenGL 環境で描ける大きさは縦横とも {3} ﾋﾟｸｾﾙまでです。";
// {1}: the system's reason, as strerror gives it.
inline constexpr Text kStrSaveWriteFailed = "書き込みに失敗しました ({1})。";
inline constexpr Text kStrFourDBottleCounts =
    "θ方向とφ方向には0以上の整数を、その積が{1}以下になるように入力してください。";

// The file a picture could not be written to, and why.
std::string SaveFailedMessage(const std::string& path, const std::string& reason);
// A picture larger than the OpenGL implementation draws offscreen; names
// the largest width and height it accepts.
std::string PictureTooLargeMessage(int width, int height, int largest);
// Writing failed, with the system's reason in brackets.
std::string WriteFailedReason(const std::string& cause);

// Refusal of θ and φ counts the four-dimensional bottle cannot be built
// from; names the largest product accepted.
std::string FourDBottleCountsMessage();
