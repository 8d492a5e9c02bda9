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

// Messages of the dialogs' data exchange.
inline constexpr char kStrEnterInteger[] = "整数を入力してください。";
inline constexpr char kStrEnterNumber[] = "数字を入力してください。";

// Refusal of θ and φ counts the four-dimensional bottle cannot be built
// from; names the largest product accepted.
std::string FourDBottleCountsMessage();
