#pragma once

#include <array>
#include <string_view>

// The program's named pictures and icons, with the sizes they are drawn at (resources/
// draws exactly these), so that no caller misspells one and a test proves that every one of
// them exists.
namespace PictureNames {

struct Picture
{
    std::string_view name;
    int width;
    int height;
};

// PNG pictures, loaded with GraphicTools::LoadPngResource.
inline constexpr std::array<Picture, 44> kPictures = {{
    {"RES_DEFAULTTHUMBNAIL", 105, 80},
    {"brFireFox", 16, 16},
    {"brFireFox_BW", 16, 16},
    {"brIE", 16, 16},
    {"brIE_BW", 16, 16},
    {"brOpera", 16, 16},
    {"brOpera_BW", 16, 16},
    {"brSafari", 16, 16},
    {"brSafari_BW", 16, 16},
    {"cbGlyphClose", 16, 16},
    {"cbGlyphOpen", 16, 16},
    {"hbGlyphHelp", 17, 16},
    {"hbGlyphHide", 16, 16},
    {"idLoadingImage", 137, 100},
    {"idNoImage", 138, 101},
    {"idZoom", 16, 16},
    {"mnCheck", 10, 10},
    {"png_Config", 48, 48},
    {"png_Download", 48, 48},
    {"png_FireFox", 48, 48},
    {"png_HDDError", 48, 48},
    {"png_MorvalenProLogo", 200, 48},
    {"png_Question", 48, 48},
    {"png_ShortcutDesktop", 24, 24},
    {"png_ShortcutQuickLaunch", 24, 24},
    {"png_ShortcutStartMenu", 24, 24},
    {"png_ShortcutStartup", 24, 24},
    {"png_SiteDlg_Browser", 32, 32},
    {"png_SiteDlg_General", 32, 32},
    {"png_SiteDlg_Images", 32, 32},
    {"png_SiteDlg_Monitor", 32, 32},
    {"png_SiteDlg_Shortcuts", 32, 32},
    {"png_Star", 48, 48},
    {"png_TrayNotifyDelimiter", 9, 13},
    {"png_Web", 48, 48},
    {"rtCircleEmpty", 15, 15},
    {"rtCircleFull", 15, 15},
    {"rtCircleSemi", 15, 15},
    {"rtStarEmpty", 15, 15},
    {"rtStarFull", 15, 15},
    {"rtStarSemi", 15, 15},
    {"wiClose", 17, 17},
    {"wiRun", 17, 17},
    {"wiShortCut", 32, 32},
}};

// Icons (TExIcon::LoadFromResourceName), each with 32-bit images of 16, 24 and 32 pixels for
// menus, tool bars and windows.
inline constexpr std::array<std::string_view, 21> kIcons = {
    "res_Ico_AddSite",        "res_Ico_Arrange",     "res_Ico_Browsers",    "res_Ico_BrowsersSiteGray",
    "res_Ico_Delete",         "res_Ico_Reload",      "res_Ico_Run",         "res_Ico_Star",
    "res_Ico_Stop",           "res_Ico_WebBack",     "res_Ico_WebBack_Dis", "res_Ico_WebForward",
    "res_Ico_WebForward_Dis", "res_Ico_WebMisc",     "res_Ico_WebRefresh",  "res_Ico_WebSearch",
    "res_ico_lbInstall",      "res_ico_lbInstalled", "res_ico_lbSignup",    "res_ico_lbTellFriend",
    "res_ico_lbVisitSite",
};
inline constexpr std::array<int, 3> kIconSizes = {16, 24, 32};

// The favorite icon of sites that have none: 16, 24, 32 and 48 pixels, 32 bits.
inline constexpr std::string_view kDefaultFavoriteIcon = "res_ico_DefaultFavoriteIcon";
inline constexpr std::array<int, 4> kDefaultFavoriteIconSizes = {16, 24, 32, 48};

} // namespace PictureNames
