// Balls drawn with gradients, bouncing off the window's edges and off each other. The red
// ball flies in front of the others, the glass ball lets them show through, and the
// square turns and grows. The score counts the collisions. Close the window to end.
main = New Window("Sprites", 480, 320);
main.SetFillGradientColor(0x202050, 0x000010);
main.SetFillGradientDir(1);
main.Rectangle(0, 0, 480, 320);

// A ball of `size` pixels: a gradient from `bright` to `deep` on black, which sprites
// leave out, so only the round part shows.
Function Ball(size, bright, deep) {
    picture = New Surface(size, size, 32);
    picture.Clear(0, 0);
    picture.SetPenColor(deep);
    picture.SetFillGradientColor(bright, deep);
    picture.SetFillGradientDir(1);
    picture.Ellipse(0, 0, size - 1, size - 1);
    Return picture;
}

colours[0] = 0xFF8080; darks[0] = 0x800000;
colours[1] = 0x80FF80; darks[1] = 0x006000;
colours[2] = 0x8080FF; darks[2] = 0x000080;
colours[3] = 0xFFFF80; darks[3] = 0x806000;
colours[4] = 0xE0E0E0; darks[4] = 0x404040;
// Names first given a value inside a block end with it: the arrays start out here.
pictures[4] = 0; balls[4] = 0; dx[4] = 0; dy[4] = 0;
For (i = 0; i < 5; i++) {
    pictures[i] = Ball(40, colours[i], darks[i]);
    balls[i] = New Sprite(main, 40 + i * 85, 60 + (i % 3) * 70, pictures[i]);
    balls[i].SetHotSpot(20, 20);
    balls[i].SetCollision(Sprite.CMFINE);
    dx[i] = 3 - i;
    dy[i] = 2 + (i % 2);
    If (dx[i] == 0) dx[i] = 2;
}
// The red ball flies in front; the glass ball lets the others show through.
balls[0].SetLayer(1);
balls[4].SetDrawEffect(Sprite.DESEMITRANSP, 128);

// A square that turns and grows.
square = New Surface(30, 30, 32);
square.Clear(0, 0);
square.SetPenColor(0xFFA000);
square.SetFillGradientColor(0xFFE040, 0xC04000);
square.Rectangle(0, 0, 29, 29);
spinner = New Sprite(main, 240, 160, square);
spinner.SetHotSpot(15, 15);
spinner.SetLayer(-1);

// The score, written in styled text on a Surface that a sprite shows.
board = New Surface(150, 24, 32);
score = New Sprite(main, 8, 290, board);
hits = 0;
Function ShowScore() {
    board.Clear(0x101030, 0xFFFFFF);
    board.MoveTo(4, 2);
    board.Write("<B>Collisions:</B> <FONT COLOR=#FFD040>" + hits + "</FONT>");
}
ShowScore();

frame = 0;
While (1) {
    For (i = 0; i < 5; i++) {
        x = balls[i].GetX() + dx[i];
        y = balls[i].GetY() + dy[i];
        If (x < 20 || x > 460) dx[i] = -dx[i];
        If (y < 20 || y > 280) dy[i] = -dy[i];
        balls[i].Set(x, y);
    }
    // Each pair once: two balls that touch swap their speeds.
    For (i = 0; i < 5; i++) {
        For (other = balls[i].GetFirstCollidingSprite(); other != 0;
             other = balls[i].GetNextCollidingSprite(other)) {
            For (j = i + 1; j < 5; j++) {
                If (balls[j] == other) {
                    t = dx[i]; dx[i] = dx[j]; dx[j] = t;
                    t = dy[i]; dy[i] = dy[j]; dy[j] = t;
                    hits++;
                    ShowScore();
                }
            }
        }
    }
    frame++;
    spinner.SetAngle(frame * 3);
    spinner.SetScale(1 + (frame % 60) / 60.0);
    Program.Wait(20);
}
