<?xml version="1.0" encoding="UTF-8"?>
<tileset version="1.8" name="big" tilewidth="32" tileheight="48">
 <image source="big32x48.png"/>
</tileset>
