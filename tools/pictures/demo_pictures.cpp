#include "tools/pictures/pictures.h"

std::vector<DemoPicture> PaintDemoPictures() {
    std::vector<DemoPicture> pictures;
    // The ball's texture is wrapped round the ball: it is used as painted.
    Canvas flowers = PaintFlowers(128);
    ZitPicture flowerTexture = Unturned(flowers.Texels(), 128, 128);
    pictures.push_back({"hana01.zit", "hana01.png", std::move(flowers), std::move(flowerTexture)});
    // The background fills the 240 x 240 frame, the title the screen's top
    // 40 rows: both are turned for the presenter.
    Canvas land = PaintLandscape(240);
    ZitPicture landTexture = TurnedForScreen(land.Texels(), 240, 240);
    pictures.push_back({"yama01.zit", "yama01.png", std::move(land), std::move(landTexture)});
    Canvas title = PaintTitle(240, 40, "KQ 3D Engine");
    ZitPicture titleTexture = TurnedForScreen(title.Texels(), 240, 40);
    pictures.push_back({"title01.zit", "title01.png", std::move(title), std::move(titleTexture)});
    return pictures;
}
