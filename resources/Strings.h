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

// "表示" menu: the aids to seeing one-sidedness, with their help texts.
inline constexpr char kStrMenuView[] = "表示(&V)";
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

// Messages of the dialogs' data exchange.
inline constexpr char kStrEnterInteger[] = "整数を入力してください。";
inline constexpr char kStrEnterNumber[] = "数字を入力してください。";

// Refusal of θ and φ counts the four-dimensional bottle cannot be built
// from; names the largest product accepted.
std::string FourDBottleCountsMessage();
