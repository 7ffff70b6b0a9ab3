#pragma once

#include <QByteArray>

// A small catalog whose every ordering is known: categories 10 (with 11, 12), 20 (with 21)
// and 30; applications 1 to 5.
inline const QByteArray kTestCatalog = R"({
 "versions": [
  {"version": "1.0.0.0", "description": "First"},
  {"version": "2.1.0.3", "description": "Faster lists & <b>search</b>"}
 ],
 "categories": [
  {"id": 10, "title": "Office", "sub": [{"id": 11, "title": "Documents"}, {"id": 12, "title": "Spreadsheets"}]},
  {"id": 20, "title": "Communication", "sub": [{"id": 21, "title": "Mail & Chat"}]},
  {"id": 30, "title": "Travel"}
 ],
 "applications": [
  {"nid": 1, "cat": 11, "title": "Writely Docs", "tagline": "Write documents together",
   "description": "Edit text in the browser", "main": "https://docs.example.com/",
   "signup": "https://docs.example.com/join", "login": "https://docs.example.com/login",
   "app": "https://docs.example.com/app", "cost": "Free", "rating": 4, "popularity": 70,
   "added": "2024-01-10", "recommended": true, "options": "wizard"},
  {"nid": 2, "cat": 12, "title": "Gridsheet", "tagline": "Spreadsheets online",
   "description": "Formulas and charts for teams", "main": "https://grid.example.com/",
   "cost": "Free", "rating": 3.5, "popularity": 95, "added": "2024-03-05", "picture": "png"},
  {"nid": 3, "cat": 21, "title": "Café Mail", "tagline": "Mail with a café's calm",
   "description": "Read your mail; calm inbox", "main": "https://cafe.example.com/",
   "browsers": "ie firefox", "options": "premium", "cost": "$4.99/month", "rating": 5,
   "popularity": 40, "added": "2023-12-01", "recommended": true, "picture": "gif"},
  {"nid": 4, "cat": 10, "title": "Office Planner", "tagline": "Plan the office",
   "description": "Calendars, rooms, documents", "main": "https://plan.example.com/",
   "cost": "Free", "rating": 2, "popularity": 55, "added": "2024-02-01"},
  {"nid": 5, "cat": 30, "title": "Trip Atlas", "tagline": "Maps for trips",
   "description": "Plan journeys with documents", "main": "https://trip.example.com/",
   "cost": "Free", "rating": 4.5, "popularity": 60, "added": "2024-04-01"}
 ]
})";
