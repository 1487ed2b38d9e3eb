"""The bot that plays KELVO's island with real keys and mouse (see
tests/bot/play.py and the README's "The bot" section).

- log_patterns: every log line it reads, in one table, and the GameLog;
- steering: headings, waypoints, turning and stuck detection (pure);
- route: the waypoints of the island and the stages of the quest;
- report: the report folder, its table and the map of the way taken;
- bot: the player itself, on top of the e2e harness (tests/e2e/kelvo_harness)."""
