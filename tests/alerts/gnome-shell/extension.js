// The test's window into GNOME Shell, loaded only into the shell the test starts: Eval
// is allowed (unsafe mode), and global.quorvane reads windows, stacking, focus and the
// banners shown, and acts as the user through a virtual keyboard and pointer, so that
// every key and click reaches the windows as real input does.
/* exported init */
const { Clutter, GLib, Meta } = imports.gi;
const Main = imports.ui.main;

class QuorvaneTest {
    enable() {
        global.context.unsafe_mode = true;
        const seat = Clutter.get_default_backend().get_default_seat();
        this._keyboard = seat.create_virtual_device(Clutter.InputDeviceType.KEYBOARD_DEVICE);
        this._pointer = seat.create_virtual_device(Clutter.InputDeviceType.POINTER_DEVICE);
        this._banners = [];
        this._typed = '';
        this._typing = 0;
        // Every source that notifies from now on; a banner is shown for each
        // 'notification-show'.
        this._sourceAdded = Main.messageTray.connect('source-added', (tray, source) => {
            source.connect('notification-show', (s, n) => {
                this._banners.push({ source: s.title, title: n.title, body: n.bannerBodyText });
            });
        });
        global.quorvane = this;
    }

    disable() {
        this.stopTyping();
        Main.messageTray.disconnect(this._sourceAdded);
        delete global.quorvane;
    }

    _metaWindows() {
        const windows = global.get_window_actors().map(a => a.meta_window);
        return global.display.sort_windows_by_stacking(windows); // bottom first
    }

    _find(title) {
        return this._metaWindows().find(w => w.get_title() === title);
    }

    // Every window, bottom of the stacking order first, with its client area.
    windows() {
        const focus = global.display.focus_window;
        return this._metaWindows().map((w, i) => {
            const c = w.frame_rect_to_client_rect(w.get_frame_rect());
            const workspace = w.get_workspace();
            return {
                title: w.get_title(), x11: w.get_client_type() === Meta.WindowClientType.X11,
                stack: i, focus: w === focus, above: w.is_above(), minimized: w.minimized,
                workspace: workspace ? workspace.index() : -1, everywhere: w.is_on_all_workspaces(),
                shown: !w.minimized && w.showing_on_its_workspace(),
                x: c.x, y: c.y, width: c.width, height: c.height,
            };
        });
    }

    workspace() {
        return global.workspace_manager.get_active_workspace_index();
    }

    switchTo(index) {
        global.workspace_manager.get_workspace_by_index(index).activate(global.get_current_time());
    }

    moveTo(title, index) {
        this._find(title).change_workspace_by_index(index, false);
    }

    activate(title) {
        Main.activateWindow(this._find(title));
    }

    banners() {
        return this._banners;
    }

    // Moves the pointer to x, y of the screen; with click, then presses and releases
    // the first button there, as a person's click does, a little later.
    pointAt(x, y, click) {
        this._pointer.notify_absolute_motion(GLib.get_monotonic_time(), x, y);
        if (!click)
            return;
        GLib.timeout_add(GLib.PRIORITY_DEFAULT, 50, () => {
            this._pointer.notify_button(GLib.get_monotonic_time(), Clutter.BUTTON_PRIMARY,
                Clutter.ButtonState.PRESSED);
            GLib.timeout_add(GLib.PRIORITY_DEFAULT, 50, () => {
                this._pointer.notify_button(GLib.get_monotonic_time(), Clutter.BUTTON_PRIMARY,
                    Clutter.ButtonState.RELEASED);
                return GLib.SOURCE_REMOVE;
            });
            return GLib.SOURCE_REMOVE;
        });
    }

    _key(keyval) {
        const now = GLib.get_monotonic_time();
        this._keyboard.notify_keyval(now, keyval, Clutter.KeyState.PRESSED);
        this._keyboard.notify_keyval(now, keyval, Clutter.KeyState.RELEASED);
    }

    // Presses the keys of the characters of text at once.
    press(text) {
        for (const ch of text)
            this._key(Clutter.unicode_to_keysym(ch.codePointAt(0)));
    }

    // Types the digits 0-9 over and over, one key every interval ms, into whatever
    // window has the focus, until stopTyping(); typed() says what has been typed.
    startTyping(interval) {
        this.stopTyping();
        this._typed = '';
        this._typing = GLib.timeout_add(GLib.PRIORITY_DEFAULT, interval, () => {
            const ch = String(this._typed.length % 10);
            this._key(Clutter.unicode_to_keysym(ch.codePointAt(0)));
            this._typed += ch;
            return GLib.SOURCE_CONTINUE;
        });
    }

    typed() {
        return this._typed;
    }

    stopTyping() {
        if (this._typing)
            GLib.source_remove(this._typing);
        this._typing = 0;
    }
}

function init() {
    return new QuorvaneTest();
}
